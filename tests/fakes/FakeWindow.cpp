#include "tests/fakes/FakeWindow.h"

#include <algorithm>
#include <stdexcept>

namespace fake {

using patch::Button;

void FakeWindow::Press(Button button) {
    if (IsEnabled(button)) {
        events_.ButtonPressed(button);
    }
}

// A Win32 timer is periodic: after a tick the next falls due one interval
// later, unless the handler sets a new interval, which restarts the countdown.
// The end of the program takes the timer with it.
void FakeWindow::AdvanceClock(std::uint32_t milliseconds) {
    const std::uint64_t until = now_ + milliseconds;
    while (timerArmed_ && nextTickAt_ <= until) {
        now_ = nextTickAt_;
        nextTickAt_ = now_ + interval_;
        Record("tick");
        const Event tick = log_.back();
        events_.TimerTicked();
        if (afterTick) {
            afterTick(tick);
        }
    }
    now_ = std::max(now_, until);
}

void FakeWindow::GiveFractions(std::vector<float> fractions) {
    fractions_.insert(fractions_.end(), fractions.begin(), fractions.end());
}

bool FakeWindow::IsEnabled(Button button) const {
    return button == Button::Cancel ? cancelEnabled_ : closeEnabled_;
}

std::vector<std::string> FakeWindow::Logged(const std::string& kind) const {
    std::vector<std::string> texts;
    for (const Event& event : log_) {
        if (event.what == kind) {
            texts.emplace_back();
        } else if (event.what.rfind(kind + " ", 0) == 0) {
            texts.push_back(event.what.substr(kind.size() + 1));
        }
    }
    return texts;
}

void FakeWindow::SetStatusText(const char* text) {
    statusText_ = text;
    Record("status " + statusText_);
}

void FakeWindow::EnableButton(Button button, bool enabled) {
    (button == Button::Cancel ? cancelEnabled_ : closeEnabled_) = enabled;
    Record(std::string(enabled ? "enable " : "disable ") +
           (button == Button::Cancel ? "cmdCancel" : "cmdClose"));
}

basics::Outcome FakeWindow::ArmStepTimer() {
    timerArmed_ = true;
    nextTickAt_ = now_ + interval_;
    Record("arm " + std::to_string(interval_));
    return std::nullopt;
}

void FakeWindow::DisarmStepTimer() {
    timerArmed_ = false;
    Record("disarm");
}

// Windows raises an interval under 10 ms (USER_TIMER_MINIMUM) to 10 ms.
basics::Outcome FakeWindow::SetStepInterval(std::uint32_t milliseconds) {
    interval_ = std::max<std::uint32_t>(milliseconds, 10);
    if (timerArmed_) {
        nextTickAt_ = now_ + interval_;
    }
    Record("interval " + std::to_string(milliseconds));
    return std::nullopt;
}

void FakeWindow::MessageBoxOpen() {
    if (whileMessageBoxOpen) {
        whileMessageBoxOpen();
    }
}

patch::Answer FakeWindow::Ask(const char* question) {
    Record("ask " + std::string(question));
    if (answers_.empty()) {
        throw std::logic_error("the test gave no answer to the question");
    }
    MessageBoxOpen();
    const patch::Answer answer = answers_.front();
    answers_.pop_front();
    Record(answer == patch::Answer::Yes ? "answer Yes" : "answer No");
    return answer;
}

void FakeWindow::Tell(const char* message) {
    Record("tell " + std::string(message));
    MessageBoxOpen();
}

void FakeWindow::ReportFailure(const char* message) {
    Record("report " + std::string(message));
    MessageBoxOpen();
}

void FakeWindow::EndProgram(patch::ExitCode code) {
    exitCode_ = code;
    timerArmed_ = false;
    Record("end " + std::to_string(static_cast<int>(code)));
}

float FakeWindow::RandomFraction() {
    if (fractions_.empty()) {
        return 0.0f;
    }
    const float fraction = fractions_.front();
    fractions_.pop_front();
    return fraction;
}

}  // namespace fake
