// What frmPatch asks of its window (patch::FormServices), as PatchWindow
// gives it on Win32: the status text, the buttons, the step timer, the
// message boxes, the end and the random fractions.

#include "platform/PatchWindow.h"

namespace platform::win32 {

namespace layout = patch::layout;
using patch::Button;

// Painted at once, so that " Applying Patch" shows while the values are written.
void PatchWindow::SetStatusText(const char* text) {
    SetWindowTextA(status_, text);
    UpdateWindow(status_);
}

void PatchWindow::EnableButton(Button button, bool enabled) {
    dialog_.EnableButton(button, enabled);
}

basics::Outcome PatchWindow::ArmStepTimer() {
    return stepTimer_.Arm();
}

void PatchWindow::DisarmStepTimer() {
    stepTimer_.Disarm();
}

basics::Outcome PatchWindow::SetStepInterval(std::uint32_t milliseconds) {
    return stepTimer_.SetInterval(milliseconds);
}

int PatchWindow::ShowMessageBox(const char* text, UINT style) {
    return MessageBoxA(window_, text, layout::kMessageBoxTitle, style);
}

// A box that cannot be shown answers No, which ends the program with nothing written.
patch::Answer PatchWindow::Ask(const char* question) {
    return ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES ? patch::Answer::Yes
                                                                         : patch::Answer::No;
}

void PatchWindow::Tell(const char* message) {
    ShowMessageBox(message, MB_OK);
}

void PatchWindow::ReportFailure(const char* message) {
    ShowMessageBox(message, MB_OK | MB_ICONSTOP);
}

// At once: no handler runs after this, and an open key is left for the system
// to release.
void PatchWindow::EndProgram(patch::ExitCode code) {
    ExitProcess(static_cast<UINT>(code));
}

float PatchWindow::RandomFraction() {
    return random_.Next();
}

}  // namespace platform::win32
