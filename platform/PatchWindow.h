#pragma once

// frmPatch's window on Win32: a fixed dialog-style window made in code, with
// its status text, two buttons and step timer, and the message boxes. Its
// window procedure only turns messages into frmPatch's events
// (patch::EventDispatch); the services do what frmPatch asks of the window
// (PatchWindowServices.cpp).
// What a dialog would do for its buttons (keys, focus, default frame) is in
// DialogBehaviour, and the step timer's own state in StepTimer.

#include <windows.h>

#include <cstdint>

#include "basics/Failure.h"
#include "patch/EventDispatch.h"
#include "patch/FormServices.h"
#include "patch/StepInterval.h"
#include "patch/frmPatchLayout.h"
#include "platform/DialogBehaviour.h"
#include "platform/StepTimer.h"

namespace platform::win32 {

class PatchWindow : public patch::FormServices {
public:
    explicit PatchWindow(HINSTANCE instance);
    PatchWindow(const PatchWindow&) = delete;
    PatchWindow& operator=(const PatchWindow&) = delete;

    // Creates the window and its controls and shows it centred on the screen;
    // false when Windows refuses.
    bool Create();
    // Runs the message loop; the program normally ends inside it.
    int Run();

    // patch::FormServices
    void SetStatusText(const char* text) override;
    void EnableButton(patch::Button button, bool enabled) override;
    basics::Outcome ArmStepTimer() override;
    void DisarmStepTimer() override;
    basics::Outcome SetStepInterval(std::uint32_t milliseconds) override;
    patch::Answer Ask(const char* question) override;
    void Tell(const char* message) override;
    void ReportFailure(const char* message) override;
    [[noreturn]] void EndProgram(patch::ExitCode code) override;
    float RandomFraction() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnActivate(WPARAM wParam);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

    bool CreateControls();
    HWND CreateControl(const char* className, const patch::layout::Control& placement, DWORD style,
                       DWORD exStyle, int id);
    void PressIfEnabled(patch::Button button);
    int ShowMessageBox(const char* text, UINT style);

    HINSTANCE instance_;
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    HWND status_ = nullptr;
    HWND cmdCancel_ = nullptr;
    HWND cmdClose_ = nullptr;
    bool made_ = false;
    int dpiX_ = 96;
    int dpiY_ = 96;
    StepTimer stepTimer_;
    patch::FractionGenerator random_;
    DialogBehaviour dialog_;
    patch::EventDispatch events_;
};

}  // namespace platform::win32
