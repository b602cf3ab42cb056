// Velmora.exe starts here: it says that it is DPI-aware, narrows where DLLs
// may come from, makes frmPatch's window, shows it, and runs its message
// loop. The command line is ignored.
//
// The exe carries no C runtime: Windows' loader calls the entry point below
// directly. So nothing may need a static constructor, since none would run.

#include <windows.h>

#include "patch/ExitCode.h"
#include "patch/frmPatchLayout.h"
#include "platform/DllSearch.h"
#include "platform/DpiAwareness.h"
#include "platform/PatchWindow.h"

namespace {

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
// calling convention does not matter, and it never returns. The DPI
// awareness comes first, before any DLL that is not imported is loaded, and
// loads none itself; then the DLL search is narrowed, before anything loads a
// DLL by name.
extern "C" void WinMainCRTStartup() {
    platform::win32::BecomeDpiAware();
    platform::win32::NarrowDllSearch();
    ExitProcess(static_cast<UINT>(RunVelmora()));
}
