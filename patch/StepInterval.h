#pragma once

// tmrStep's interval: 1300 ms from the start, so that the first step falls due
// 1300 ms after Form_Activate arms the timer; from then on each tick draws the
// next, a whole number of milliseconds from 1000 to 2999.

#include <cstdint>

namespace patch {

inline constexpr std::uint32_t kFirstStepInterval = 1300;

// 1000 + floor(r * 2000), exactly, for a random fraction r, 0 <= r < 1. A
// fraction outside that range, which a broken generator might give, counts as
// 0 rather than stretch the interval.
std::uint32_t StepIntervalFor(float fraction);

}  // namespace patch
