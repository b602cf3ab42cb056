#include "patch/EventDispatch.h"

namespace patch {

using basics::Failure;
using basics::Outcome;

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

template <typename Handler>
void EventDispatch::Deliver(Handler handler) {
    if (!Deliverable()) {
        return;
    }
    if (const Outcome failed = handler()) {
        ReportAndEnd(*failed);
    }
}

void EventDispatch::ReportAndEnd(const Failure& failure) {
    if (ended_) {
        return;
    }
    Failure report("Velmora cannot continue and will close.\n\n");
    ReportFailure(report.Append(failure.Reason()).Reason());
    EndProgram(ExitCode::UnexpectedFailure);
}

// The window is activated again whenever a message box closes or the user
// comes back to it; only the first activation delivered is the form's own.
void EventDispatch::Activated() {
    if (activated_ || !Deliverable()) {
        return;
    }
    activated_ = true;
    Deliver([this] { return form_.Form_Activate(); });
}

void EventDispatch::TimerTicked() {
    Deliver([this] { return form_.tmrStep_Timer(); });
}

void EventDispatch::ButtonPressed(Button button) {
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
void EventDispatch::Closed() {
    Deliver([this] {
        EndProgram(WrittenSoFar());
        return Outcome();
    });
}

// With no window left nothing can go on, so the program ends as closing the
// window ends it, at any step. Inside a message box, the box goes with the
// window, and the handler that opened it ends the program once it returns,
// as closing the box would: a failure's message with the failure's code, the
// question as a No.
void EventDispatch::Destroyed() {
    windowGone_ = true;
    if (!ended_ && openMessageBoxes_ == 0) {
        EndProgram(WrittenSoFar());
    }
}

void EventDispatch::FailedUnexpectedly(const Failure& failure) {
    ReportAndEnd(failure);
}

Answer EventDispatch::Ask(const char* question) {
    OpenMessageBox open(openMessageBoxes_);
    const Answer answer = window_.Ask(question);
    return windowGone_ ? Answer::No : answer;
}

void EventDispatch::Tell(const char* message) {
    OpenMessageBox open(openMessageBoxes_);
    window_.Tell(message);
}

void EventDispatch::ReportFailure(const char* message) {
    OpenMessageBox open(openMessageBoxes_);
    window_.ReportFailure(message);
}

void EventDispatch::EndProgram(ExitCode code) {
    ended_ = true;
    window_.EndProgram(code);
}

}  // namespace patch
