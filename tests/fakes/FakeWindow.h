#pragma once

// A stand-in for frmPatch's Win32 window in host tests: it keeps the state
// that the services set (status text, buttons, timer), runs on a manual clock,
// answers questions from a script, and logs every service call with the time
// it was made. Events go through patch::EventDispatch as in Velmora.exe.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "patch/EventDispatch.h"
#include "patch/FormServices.h"
#include "patch/StepInterval.h"
#include "patch/frmPatchLayout.h"
#include "tests/fakes/Sequence.h"

namespace fake {

class FakeWindow : public patch::FormServices {
public:
    FakeWindow() : events_(*this) {}
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    patch::EventDispatch& Events() { return events_; }
    const patch::frmPatch& Form() const { return events_.Form(); }

    // What the user and the system do.
    void Activate() { events_.Activated(); }
    // Presses `button` if it is enabled, as a user can. Like the Win32 window,
    // the fake passes every event on, also after the end: EventDispatch drops
    // what comes too late.
    void Press(patch::Button button);
    void Close() { events_.Closed(); }
    // The window goes with its hidden owner, closed by another program.
    void Destroy() { events_.Destroyed(); }
    // Moves the clock on, delivering each tick of tmrStep as it falls due.
    void AdvanceClock(std::uint32_t milliseconds);
    std::uint64_t Now() const { return now_; }

    // Scripts: the answers to the next questions, the next random fractions,
    // and what happens while a message box is open (a test may move the clock).
    void AnswerNextQuestion(patch::Answer answer) { answers_.push_back(answer); }
    void GiveFractions(std::vector<float> fractions);
    std::function<void()> whileMessageBoxOpen;

    // What the window shows and did.
    const std::string& StatusText() const { return statusText_; }
    bool IsEnabled(patch::Button button) const;
    bool StepTimerArmed() const { return timerArmed_; }
    std::optional<patch::ExitCode> ExitCode() const { return exitCode_; }
    struct Event {
        std::uint64_t time;
        std::string what;  // e.g. "status  Applying Patch", "tell Cannot ...", "end 2"
        // Where the call came in the sequence that all the in-memory stand-ins
        // share (Sequence.h).
        std::uint64_t sequence = ++LastSequenceNumber();
        bool operator==(const Event& other) const {
            return time == other.time && what == other.what;
        }
    };
    const std::vector<Event>& Log() const { return log_; }
    // The texts of the log entries that start with `kind` ("status", "ask", ...), in order.
    std::vector<std::string> Logged(const std::string& kind) const;
    // Called once each tick that the clock delivered has been handled, with
    // the log entry of that tick.
    std::function<void(const Event& tick)> afterTick;

    // patch::FormServices
    void SetStatusText(const char* text) override;
    void EnableButton(patch::Button button, bool enabled) override;
    basics::Outcome ArmStepTimer() override;
    void DisarmStepTimer() override;
    basics::Outcome SetStepInterval(std::uint32_t milliseconds) override;
    patch::Answer Ask(const char* question) override;
    void Tell(const char* message) override;
    void ReportFailure(const char* message) override;
    void EndProgram(patch::ExitCode code) override;
    float RandomFraction() override;

private:
    void Record(std::string what) { log_.push_back({now_, std::move(what)}); }
    void MessageBoxOpen();

    patch::EventDispatch events_;
    std::uint64_t now_ = 0;
    std::string statusText_ = patch::layout::kStatus.caption;
    bool cancelEnabled_ = true;
    bool closeEnabled_ = false;
    bool timerArmed_ = false;
    std::uint32_t interval_ = patch::kFirstStepInterval;
    std::uint64_t nextTickAt_ = 0;
    std::deque<patch::Answer> answers_;
    std::deque<float> fractions_;
    std::optional<patch::ExitCode> exitCode_;
    std::vector<Event> log_;
};

}  // namespace fake
