#include "patch/FormEvents.h"

#include <exception>
#include <string>

namespace patch {

namespace {

// Counts a message box as open for as long as it is, also when showing it fails.
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
    if (ended_ || openMessageBoxes_ > 0) {
        return;
    }
    try {
        handler();
    } catch (const std::exception& failure) {
        ReportAndEnd(failure.what());
    } catch (...) {
        ReportAndEnd("An unknown error occurred.");
    }
}

void FormEvents::ReportAndEnd(std::string_view what) {
    if (ended_) {
        return;
    }
    try {
        ReportFailure("Velmora cannot continue and will close.\n\n" + std::string(what));
    } catch (...) {
        // Nothing more can be told; the program still ends.
    }
    EndProgram(ExitCode::UnexpectedFailure);
}

// The window is activated again whenever a message box closes or the user
// comes back to it; only the first activation is the form's.
void FormEvents::Activated() {
    if (activated_) {
        return;
    }
    activated_ = true;
    Deliver([this] { form_.Form_Activate(); });
}

void FormEvents::TimerTicked() {
    Deliver([this] { form_.tmrStep_Timer(); });
}

void FormEvents::ButtonPressed(Button button) {
    Deliver([this, button] {
        if (button == Button::Cancel) {
            form_.cmdCancel_Click();
        } else {
            form_.cmdClose_Click();
        }
    });
}

// The window has no handler of its own for being closed: it simply ends the
// program, telling by its exit code whether the values were written.
void FormEvents::Closed() {
    Deliver([this] {
        EndProgram(form_.PatchWritten() ? ExitCode::PatchApplied : ExitCode::NothingWritten);
    });
}

void FormEvents::FailedUnexpectedly(std::string_view what) {
    ReportAndEnd(what);
}

Answer FormEvents::Ask(std::string_view question) {
    OpenMessageBox open(openMessageBoxes_);
    return window_.Ask(question);
}

void FormEvents::Tell(std::string_view message) {
    OpenMessageBox open(openMessageBoxes_);
    window_.Tell(message);
}

void FormEvents::ReportFailure(std::string_view message) {
    OpenMessageBox open(openMessageBoxes_);
    window_.ReportFailure(message);
}

void FormEvents::EndProgram(ExitCode code) {
    ended_ = true;
    window_.EndProgram(code);
}

}  // namespace patch
