#pragma once

// tmrStep on Win32: a timer of frmPatch's window that keeps its interval and
// whether it is armed, since a new interval restarts the countdown of an armed
// timer and only waits for the next arming of a disarmed one.

#include <windows.h>

#include <cstdint>

#include "basics/Failure.h"

namespace platform::win32 {

class StepTimer {
public:
    // The id that its WM_TIMER messages carry in wParam.
    static constexpr UINT_PTR kId = 1;

    explicit StepTimer(std::uint32_t interval) : interval_(interval) {}
    // The window whose message queue the ticks arrive in, once it is made.
    void Attach(HWND window) { window_ = window; }

    // Starts the countdown with the current interval; the failure where the
    // system cannot set the timer.
    [[nodiscard]] basics::Outcome Arm();
    void Disarm();
    [[nodiscard]] basics::Outcome SetInterval(std::uint32_t milliseconds);

private:
    HWND window_ = nullptr;
    std::uint32_t interval_;
    bool armed_ = false;
};

}  // namespace platform::win32
