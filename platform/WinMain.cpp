// Velmora.exe starts here: it narrows where DLLs may come from, makes
// frmPatch's window, shows it, and runs its message loop. The command line is
// ignored.
//
// The exe carries no C runtime: Windows' loader calls the entry point below
// directly. So nothing may need a static constructor, since none would run.

#include <windows.h>

#include "patch/ExitCode.h"
#include "patch/frmPatchLayout.h"
#include "platform/PatchWindow.h"

namespace {

// LoadLibraryEx's flag for System32 alone; the headers for Windows NT 4.0
// lack the name.
constexpr DWORD kSearchSystem32Only = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// Velmora runs elevated, mostly from wherever the download landed. Windows'
// own DLLs load others by bare name once the program runs (theming, input
// methods), and the exe's folder is searched first: a DLL left there under
// such a name would run with administrator rights. So the search is narrowed
// before anything else: to System32 where kernel32 can (Windows 8, or 7 with
// KB2533623), else without the current folder (XP SP1 and later). Both are
// looked up, so that Windows NT 4.0 and 2000, which have neither, still start.
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
}

int RunVelmora() {
    platform::win32::PatchWindow window(GetModuleHandleA(nullptr));
    if (window.Create()) {
        return window.Run();
    }
    MessageBoxA(nullptr, "Velmora cannot open its window.", patch::layout::kMessageBoxTitle,
                MB_OK | MB_ICONSTOP);
    return static_cast<int>(patch::ExitCode::UnexpectedFailure);
}

}  // namespace

// The entry point that the build names. It takes no arguments, so the
// calling convention does not matter, and it never returns.
extern "C" void WinMainCRTStartup() {
    NarrowDllSearch();
    ExitProcess(static_cast<UINT>(RunVelmora()));
}
