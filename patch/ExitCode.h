#pragma once

// The process's exit code: what a run of Velmora did, for whoever started it.
// Every way the program ends gives one of these; the README and the
// administrator's guide list them.

namespace patch {

// Where each is decided:
//   PatchApplied       Close (frmPatch.cpp); the window closed or destroyed
//                      after step 2 has written both values (EventDispatch.cpp),
//                      or a WM_QUIT that another program posted then
//                      (platform/PatchWindow.cpp)
//   NothingWritten     Cancel (frmPatch.cpp); No to the start-up question, or
//                      the window destroyed while it is asked (StartupCheck.cpp,
//                      EventDispatch.cpp); the window closed or destroyed, or a
//                      WM_QUIT posted, before step 2 (EventDispatch.cpp,
//                      PatchWindow.cpp)
//   RegistryFailure    a read at step 1 or a write at step 2 that the registry
//                      refused, once its message is closed (StepSequence.cpp)
//   UnexpectedFailure  a failure that no handler traps, once it is reported
//                      (EventDispatch.cpp); a window that cannot be made
//                      (platform/WinMain.cpp) or a message loop that fails
//                      (platform/PatchWindow.cpp); a pure virtual call
//                      (platform/CompilerSupport.cpp)
enum class ExitCode : int {
    PatchApplied = 0,
    NothingWritten = 1,
    RegistryFailure = 2,
    UnexpectedFailure = 3,
};

}  // namespace patch
