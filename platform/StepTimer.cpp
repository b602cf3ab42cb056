#include "platform/StepTimer.h"

namespace platform::win32 {

basics::Outcome StepTimer::Arm() {
    if (SetTimer(window_, kId, interval_, nullptr) == 0) {
        return basics::Failure("The step timer cannot be set.");
    }
    armed_ = true;
    return std::nullopt;
}

void StepTimer::Disarm() {
    KillTimer(window_, kId);
    armed_ = false;
}

// Setting a timer that exists restarts its countdown.
basics::Outcome StepTimer::SetInterval(std::uint32_t milliseconds) {
    interval_ = milliseconds;
    return armed_ ? Arm() : std::nullopt;
}

}  // namespace platform::win32
