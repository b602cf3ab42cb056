#pragma once

// What the report's header says of the machine, and what the kit needs of
// it before it changes anything: an administrator (elevated, from Vista on)
// at a visible desktop.

#include "tests/kit/Buffer.h"

namespace kit::win32 {

// Windows version, build and service pack, WOW64, Wine where it is Wine,
// ANSI code page, DPI and rights, a line each.
void DescribeMachine(Buffer& out);

// The Administrators group enabled in the process's token: an administrator,
// and on Vista and later one whose rights are not filtered (elevated).
bool RunsAsAdministrator();

// The process's window station is the one shown on the screen, and its
// input desktop can be opened (the screen is not locked).
bool HasVisibleDesktop();

}  // namespace kit::win32
