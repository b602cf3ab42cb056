#pragma once

// Velmora's window is laid out in twips and scaled from the DPI that the
// screen reports. From Vista on, Windows tells a program that does not say
// it is DPI-aware 96 dpi at any scaling above 120 % (on 8.1 and later above
// 100 %), and stretches its window as a bitmap: every letter blurred. So it
// says so, at run time, since the manifest that would say it is refused or
// mishandled by the Windows before Vista that Velmora also runs on.

namespace platform::win32 {

// Makes the process aware of the system DPI, where user32 has the call
// (Vista and later), before any window is made; elsewhere does nothing.
void BecomeDpiAware();

}  // namespace platform::win32
