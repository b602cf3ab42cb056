// Velmora.exe starts here: it makes frmPatch's window, shows it, and runs its
// message loop. The command line is ignored.

#include <windows.h>

#include "patch/FormServices.h"
#include "patch/frmPatchLayout.h"
#include "platform/PatchWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    try {
        platform::win32::PatchWindow window(instance);
        if (window.Create()) {
            return window.Run();
        }
    } catch (...) {
        // Reported below.
    }
    MessageBoxA(nullptr, "Velmora cannot open its window.", patch::layout::kMessageBoxTitle,
                MB_OK | MB_ICONSTOP);
    return static_cast<int>(patch::ExitCode::UnexpectedFailure);
}
