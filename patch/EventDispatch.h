#pragma once

// The top of the program: it delivers the window's events to frmPatch's
// handlers, and is where a failure that no handler traps arrives, is reported
// and ends the program.

#include "basics/Failure.h"
#include "patch/FormServices.h"
#include "patch/frmPatch.h"

namespace patch {

// Runs frmPatch's handlers one at a time, each to its end, and never one
// inside another. A message box runs a message loop of its own, which goes on
// dispatching the window's events while it is open; so while one of the
// program's boxes is open nothing is delivered: a tick that falls due then is
// dropped (the timer keeps counting, so the next step comes at most one
// interval after the box closes), and a press, a close or an activation is
// ignored. Only the window's going ends the program even then. Form_Activate
// runs on the first activation delivered, and nothing is delivered after the
// end.
//
// frmPatch reaches its window through this object, which forwards to the
// platform's window (Win32, or the host fake), so that it sees each box open
// and close, and the end.
class EventDispatch : public FormServices {
public:
    explicit EventDispatch(FormServices& window) : window_(window), form_(*this) {}
    EventDispatch(const EventDispatch&) = delete;
    EventDispatch& operator=(const EventDispatch&) = delete;

    const frmPatch& Form() const { return form_; }
    // Whether Form_Activate is still to run: until an activation is
    // delivered, and never after the end.
    bool ActivationPending() const { return !activated_ && !ended_; }
    // The code of a run that ends now without a handler of its own, as when
    // the window is closed: what has been written so far.
    ExitCode WrittenSoFar() const {
        return form_.PatchWritten() ? ExitCode::PatchApplied : ExitCode::NothingWritten;
    }

    // Events, as the window reports them.
    void Activated();
    void TimerTicked();
    void ButtonPressed(Button button);
    void Closed();
    // The window has gone without being closed: its hidden owner was closed,
    // which takes the window with it.
    void Destroyed();
    // A failure in the window's own code, outside any handler.
    void FailedUnexpectedly(const basics::Failure& failure);

    // FormServices, for frmPatch.
    void SetStatusText(const char* text) override { window_.SetStatusText(text); }
    void EnableButton(Button button, bool enabled) override {
        window_.EnableButton(button, enabled);
    }
    basics::Outcome ArmStepTimer() override { return window_.ArmStepTimer(); }
    void DisarmStepTimer() override { window_.DisarmStepTimer(); }
    basics::Outcome SetStepInterval(std::uint32_t milliseconds) override {
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
    void ReportAndEnd(const basics::Failure& failure);

    FormServices& window_;
    frmPatch form_;
    bool activated_ = false;
    bool ended_ = false;
    bool windowGone_ = false;
    int openMessageBoxes_ = 0;
};

}  // namespace patch
