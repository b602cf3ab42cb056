// Velmora.exe starts here: it makes frmPatch's window, shows it, and runs its
// message loop. The command line is ignored.

#include <windows.h>

#include "patch/FormServices.h"
#include "patch/frmPatchLayout.h"
#include "platform/PatchWindow.h"

// What std::terminate runs, in place of libstdc++'s default handler, which
// writes a demangled message to standard error: a -mwindows program has none,
// and the demangler alone would make up a fifth of the exe. Nothing should
// reach it, since WinMain and the window procedure catch every failure; if
// anything does, the program ends as after any unexpected failure.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    ExitProcess(static_cast<UINT>(patch::ExitCode::UnexpectedFailure));
}
}  // namespace __gnu_cxx

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
