#pragma once

// The top of the program: the window's event dispatch. It delivers the
// window's events to frmPatch one at a time, holds ticks off while one of the
// program's message boxes is open, runs Form_Activate once, delivers nothing
// after the end, and is where a failure that no handler traps is caught,
// reported and turned into the end of the program.
//
// frmPatch reaches its window through this object, which forwards to the
// platform's window (Win32, or the host fake) and keeps count of the boxes.

#include <string_view>

#include "patch/FormServices.h"
#include "patch/frmPatch.h"

namespace patch {

class FormEvents : public FormServices {
public:
    explicit FormEvents(FormServices& window) : window_(window), form_(*this) {}
    FormEvents(const FormEvents&) = delete;
    FormEvents& operator=(const FormEvents&) = delete;

    const frmPatch& Form() const { return form_; }

    // Events, as the window reports them.
    void Activated();
    void TimerTicked();
    void ButtonPressed(Button button);
    void Closed();
    // A failure raised in the window's own code, outside any handler.
    void FailedUnexpectedly(std::string_view what);

    // FormServices, for frmPatch.
    void SetStatusText(std::string_view text) override { window_.SetStatusText(text); }
    void EnableButton(Button button, bool enabled) override {
        window_.EnableButton(button, enabled);
    }
    void ArmStepTimer() override { window_.ArmStepTimer(); }
    void DisarmStepTimer() override { window_.DisarmStepTimer(); }
    void SetStepInterval(std::uint32_t milliseconds) override {
        window_.SetStepInterval(milliseconds);
    }
    Answer Ask(std::string_view question) override;
    void Tell(std::string_view message) override;
    void ReportFailure(std::string_view message) override;
    void EndProgram(ExitCode code) override;
    float RandomFraction() override { return window_.RandomFraction(); }

private:
    template <typename Handler>
    void Deliver(Handler handler);
    void ReportAndEnd(std::string_view what);

    FormServices& window_;
    frmPatch form_;
    bool activated_ = false;
    bool ended_ = false;
    int openMessageBoxes_ = 0;
};

}  // namespace patch
