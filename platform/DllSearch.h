#pragma once

// Where the DLLs that Velmora.exe loads may come from. It runs elevated,
// mostly from wherever the download landed, and Windows looks for a DLL in
// the exe's own folder first: a DLL left there under the name of one that
// Windows loads by bare name would run with administrator rights.

namespace platform::win32 {

// Narrows the search before any window is made: to System32 alone where
// kernel32 can; elsewhere the current folder leaves it, and the DLLs that
// Windows would look for beside the exe are loaded from the system folder
// first, where this Windows ships them (SystemDlls.h). A Windows that has
// neither call starts all the same.
void NarrowDllSearch();

}  // namespace platform::win32
