#pragma once

// When the steps run. Form_Activate arms tmrStep at 1300 ms, so step 1 falls
// due 1300 ms later. Every tick first draws the interval to the next, a
// whole number of milliseconds from 1000 to 2999, then runs its step: step 1
// gathers, step 2 applies, step 3 completes, and the fourth tick stops the
// timer, 4300 to 10297 ms after it was armed. The steps themselves are in
// StepSequence.cpp.

#include <cstdint>

namespace patch {

inline constexpr std::uint32_t kFirstStepInterval = 1300;

// 1000 + floor(r * 2000), exactly, for a random fraction r, 0 <= r < 1. A
// fraction outside that range, which a broken generator might give, counts as
// 0 rather than stretch the interval.
std::uint32_t StepIntervalFor(float fraction);

// Where Velmora.exe's window takes the random fractions from: Marsaglia's
// xorshift32, which goes through every one of the 2^32 - 1 states that are
// not 0 in turn. Any generator would do; this one needs no runtime library.
class FractionGenerator {
public:
    // A seed of 0, which xorshift would keep forever, is never used.
    explicit FractionGenerator(std::uint32_t seed) : state_(seed | 1) {}

    // The fraction of the next state.
    float Next();

    // A state's top 24 bits as a fraction, exactly: from 0 up to 1 - 2^-24,
    // never 1.
    static float FractionOf(std::uint32_t state);

private:
    std::uint32_t state_;
};

}  // namespace patch
