#pragma once

// The top of the program: the window's event dispatch. It delivers the
// window's events to frmPatch one at a time, holds them off while one of the
// program's message boxes is open, runs Form_Activate once, delivers nothing
// after the end, and is where a failure that no handler traps arrives, is
// reported and turned into the end of the program.
//
// frmPatch reaches its window through this object, which forwards to the
// platform's window (Win32, or the host fake) and keeps count of the boxes.

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
    // A failure in the window's own code, outside any handler.
    void FailedUnexpectedly(const Failure& failure);

    // FormServices, for frmPatch.
    void SetStatusText(const char* text) override { window_.SetStatusText(text); }
    void EnableButton(Button button, bool enabled) override {
        window_.EnableButton(button, enabled);
    }
    Outcome ArmStepTimer() override { return window_.ArmStepTimer(); }
    void DisarmStepTimer() override { window_.DisarmStepTimer(); }
    Outcome SetStepInterval(std::uint32_t milliseconds) override {
        return window_.SetStepInterval(milliseconds);
    }
    Answer Ask(const char* question) override;
    void Tell(const char* message) override;
    void ReportFailure(const char* message) override;
    void EndProgram(ExitCode code) override;
    float RandomFraction() override { return window_.RandomFraction(); }

private:
    bool Deliverable() const { return !ended_ && openMessageBoxes_ == 0; }
    template <typename Handler>
    void Deliver(Handler handler);
    void ReportAndEnd(const Failure& failure);

    FormServices& window_;
    frmPatch form_;
    bool activated_ = false;
    bool ended_ = false;
    int openMessageBoxes_ = 0;
};

}  // namespace patch
