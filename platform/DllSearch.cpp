#include "platform/DllSearch.h"

#include <windows.h>

#include "platform/SystemDlls.h"

namespace platform::win32 {

namespace {

// LoadLibraryEx's flag for System32 alone; the headers for Windows NT 4.0
// lack the name.
constexpr DWORD kSearchSystem32Only = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// `folder`, a backslash and `name`, where they fit in a path.
bool JoinPath(char (&path)[MAX_PATH], UINT folder, const char* name) {
    UINT length = folder;
    path[length++] = '\\';
    for (; *name != '\0'; ++name) {
        if (length + 1 >= MAX_PATH) {
            return false;
        }
        path[length++] = *name;
    }
    path[length] = '\0';
    return true;
}

// Loads each DLL of SystemDlls.h that this Windows ships by its full path in
// the system folder, with its own imports looked for there too, and keeps it
// loaded: a later load by bare name then finds it in the process and
// searches no folder.
//
// The version is GetVersion's, which every kernel32 from NT 3.1 on has
// (GetVersionEx came with 3.5, VerifyVersionInfo with 2000). It is true
// wherever this runs: only a Windows that lacks SetDefaultDllDirectories
// comes here, which is one before Windows 8, and only from 8.1 on does
// GetVersion answer an older Windows than the one running to an exe whose
// manifest names none. A compatibility mode that an administrator chooses
// for Velmora.exe makes it answer the older Windows of that mode; then
// fewer DLLs are loaded here, never one that the running Windows lacks.
void LoadFromTheSystemFolder() {
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    if (folder == 0 || folder + 1 >= MAX_PATH) {
        return;
    }
    ForEachShippedDll(FromGetVersion(GetVersion()), [&](const char* name) {
        if (JoinPath(path, folder, name)) {
            LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    });
}

}  // namespace

// Windows' own DLLs load others by bare name once the program runs (theming,
// the compositor, the text services). Where kernel32 can (Windows 8 and
// later; Vista, Server 2008 and 7 with KB2533623), the search is narrowed to
// System32. Elsewhere the current folder leaves the search (XP SP1 and
// later), but the exe's own folder stays first in it, so the DLLs that would
// be looked for there are loaded from the system folder before anything asks
// for them, those that this Windows ships. Both calls are looked up, so that
// Windows NT 4.0 and 2000, which have neither, still start; they ship none of
// those DLLs, so there the folder that Velmora runs from is the only
// defence, as the administrator's guide says. What a planted manifest could
// redirect, Velmora's own manifest (resources/) keeps from being read where
// an embedded manifest wins.
void NarrowDllSearch() {
    const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 == nullptr) {
        return;
    }
    using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryCall = BOOL(WINAPI*)(LPCSTR);
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefaultDirectories != nullptr && setDefaultDirectories(kSearchSystem32Only)) {
        return;
    }
    const auto setDllDirectory = reinterpret_cast<SetDllDirectoryCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDllDirectoryA")));
    if (setDllDirectory != nullptr) {
        setDllDirectory("");
    }
    LoadFromTheSystemFolder();
}

}  // namespace platform::win32
