#pragma once

// The kit's files, all in the kit's own folder: the journal, the test
// programs' output and the reports.

#include <string_view>

#include "tests/kit/Buffer.h"

namespace kit::win32 {

// The folder that the runner lies in, with a backslash after it.
bool KitFolder(Buffer& folder);
// The whole file; false where it cannot be read.
bool ReadWholeFile(const char* path, Buffer& out);
// Replaces the file with `bytes`, flushed to the disk before this returns;
// written under another name first, so that the file is whole or absent.
bool WriteWholeFile(const char* path, std::string_view bytes);
bool FileExists(const char* path);

}  // namespace kit::win32
