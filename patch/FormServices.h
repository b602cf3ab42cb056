#pragma once

// What frmPatch asks of its window. Velmora.exe provides these with Win32
// (platform/PatchWindow); host tests with a fake that has a manual clock
// (tests/fakes/FakeWindow).

#include <cstdint>

#include "basics/Failure.h"
#include "patch/ExitCode.h"

namespace patch {

enum class Button { Cancel, Close };

// MessageBox's answers to a Yes/No question.
enum class Answer { Yes = 6, No = 7 };

class FormServices {
public:
    // Replaces the text of Status.
    virtual void SetStatusText(const char* text) = 0;
    virtual void EnableButton(Button button, bool enabled) = 0;

    // Arming starts tmrStep's countdown with its current interval. Where the
    // system cannot set the timer, the answer is the failure, which the
    // handler passes up.
    [[nodiscard]] virtual basics::Outcome ArmStepTimer() = 0;
    virtual void DisarmStepTimer() = 0;
    // While armed, the countdown starts afresh from this moment.
    [[nodiscard]] virtual basics::Outcome SetStepInterval(std::uint32_t milliseconds) = 0;

    // Modal message boxes titled "Velmora": a Yes/No question with the question
    // icon; a message with OK only and no icon; a failure that no handler trapped.
    virtual Answer Ask(const char* question) = 0;
    virtual void Tell(const char* message) = 0;
    virtual void ReportFailure(const char* message) = 0;

    // Ends the program at once: no handler of the program runs after it. On
    // Windows it does not return; in host tests it does, so a handler returns
    // right after calling it.
    virtual void EndProgram(ExitCode code) = 0;

    // A pseudo-random single-precision fraction r, 0 <= r < 1.
    virtual float RandomFraction() = 0;

protected:
    // Never deleted through this interface: the window that provides it owns itself.
    ~FormServices() = default;
};

}  // namespace patch
