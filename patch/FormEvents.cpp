#include "patch/FormEvents.h"

namespace patch {

namespace {

// Counts a message box as open for as long as it is.
class OpenMessageBox {
public:
    explicit OpenMessageBox(int& count) : count_(count) { ++count_; }
    ~OpenMessageBox() { --count_; }
    OpenMessageBox(const OpenMessageBox&) = delete;
    OpenMessageBox& operator=(const OpenMessageBox&) = delete;

private:
    int& count_;
};

}  // namespace

// A message box runs its own message loop, which goes on dispatching the
// window's events: nothing is delivered while one is open, so that no handler
// runs inside another. A tick that falls due then is dropped; the timer keeps
// counting, so the next step comes at most one interval after the box closes.
template <typename Handler>
void FormEvents::Deliver(Handler handler) {
    if (!Deliverable()) {
        return;
    }
    if (const Outcome failed = handler()) {
        ReportAndEnd(*failed);
    }
}

void FormEvents::ReportAndEnd(const Failure& failure) {
    if (ended_) {
        return;
    }
    Failure report("Velmora cannot continue and will close.\n\n");
    ReportFailure(report.Append(failure.Reason()).Reason());
    EndProgram(ExitCode::UnexpectedFailure);
}

// The window is activated again whenever a message box closes or the user
// comes back to it; only the first activation that reaches the form is its
// own. One that comes while a box is open is not delivered, so the next one is.
void FormEvents::Activated() {
    if (activated_ || !Deliverable()) {
        return;
    }
    activated_ = true;
    Deliver([this] { return form_.Form_Activate(); });
}

void FormEvents::TimerTicked() {
    Deliver([this] { return form_.tmrStep_Timer(); });
}

void FormEvents::ButtonPressed(Button button) {
    Deliver([this, button] {
        if (button == Button::Cancel) {
            form_.cmdCancel_Click();
        } else {
            form_.cmdClose_Click();
        }
        return Outcome();
    });
}

// The window has no handler of its own for being closed: it simply ends the
// program, telling by its exit code whether the values were written.
void FormEvents::Closed() {
    Deliver([this] {
        EndProgram(form_.PatchWritten() ? ExitCode::PatchApplied : ExitCode::NothingWritten);
        return Outcome();
    });
}

void FormEvents::FailedUnexpectedly(const Failure& failure) {
    ReportAndEnd(failure);
}

Answer FormEvents::Ask(const char* question) {
    OpenMessageBox open(openMessageBoxes_);
    return window_.Ask(question);
}

void FormEvents::Tell(const char* message) {
    OpenMessageBox open(openMessageBoxes_);
    window_.Tell(message);
}

void FormEvents::ReportFailure(const char* message) {
    OpenMessageBox open(openMessageBoxes_);
    window_.ReportFailure(message);
}

void FormEvents::EndProgram(ExitCode code) {
    ended_ = true;
    window_.EndProgram(code);
}

}  // namespace patch
