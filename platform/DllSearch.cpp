#include "platform/DllSearch.h"

#include <windows.h>

namespace platform::win32 {

namespace {

// LoadLibraryEx's flag for System32 alone; the headers for Windows NT 4.0
// lack the name.
constexpr DWORD kSearchSystem32Only = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// What the fallback below loads from the system folder itself, because
// Windows' own DLLs load it once Velmora's window is made, and no Windows
// that takes the fallback lists it among its KnownDLLs:
//   uxtheme.dll  user32 loads it by bare name to draw the window, its buttons
//                and message boxes in the visual style (XP and later)
//   dwmapi.dll   uxtheme and user32 load it by bare name for the desktop
//                compositor (Vista and later)
//   msctf.dll    the text services (language bar, speech, handwriting, the
//                input methods of East Asian languages) bring it into a
//                program that makes windows, where they are on; a KnownDLL
//                from Vista on, but not on XP and Server 2003. Loaded here
//                first, it and its own imports come from the system folder,
//                whoever asks for it later and by whatever name
// imm32.dll is not on the list: user32 loads it as it starts, before the
// entry point runs (on XP and Server 2003 by its full path in the system
// folder, where input methods are on; under Wine always), and it is a
// KnownDLL from Vista on.
// Installers that run from a download folder load more (7-Zip's DllSecur.c
// lists userenv, setupapi, apphelp, propsys, cryptbase, oleacc, clbcatq and
// version too); those serve the shell, COM, device set-up, cryptography and
// accessibility clients, which this window never calls on, or are loaded
// before the entry point runs. A Windows that lacks one (NT 4.0 and 2000
// have none of the three) skips it.
constexpr const char* kLoadedFromTheSystemFolder[] = {"uxtheme.dll", "dwmapi.dll", "msctf.dll"};

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

// Loads each of those by its full path in the system folder, with its own
// imports looked for there too, and keeps it loaded: a later load by bare
// name then finds it in the process and searches no folder.
void LoadFromTheSystemFolder() {
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    if (folder == 0 || folder + 1 >= MAX_PATH) {
        return;
    }
    for (const char* name : kLoadedFromTheSystemFolder) {
        if (JoinPath(path, folder, name)) {
            LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    }
}

}  // namespace

// Windows' own DLLs load others by bare name once the program runs (theming,
// the compositor, the text services). Where kernel32 can (Windows 8 and
// later; Vista, Server 2008 and 7 with KB2533623), the search is narrowed to
// System32. Elsewhere the current folder leaves the search (XP SP1 and
// later), but the exe's own folder stays first in it, so the DLLs that would
// be looked for there are loaded from the system folder before anything asks
// for them. Both calls are looked up, so that Windows NT 4.0 and 2000, which
// have neither, still start. What a planted manifest could redirect,
// Velmora's own manifest (resources/) keeps from being read on Vista and
// later.
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
