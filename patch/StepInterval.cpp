#include "patch/StepInterval.h"

#include <bit>

namespace patch {

// Worked out in integers from the float's own bits, so that the answer is
// exact whatever precision the x87 is set to: a DLL injected into the process
// may set it to 24 bits, where a float multiply by 2000 would round
// 50.9999990 up to 51. A float in [0, 1) is its mantissa m times 2 to the
// power (exponent - 150): so floor(r * 2000) is (m * 2000) shifted right by
// 150 - exponent, which is at least 24. The sign bit, or an exponent of 127
// and above (1, infinity, NaN), marks a fraction outside [0, 1).
std::uint32_t StepIntervalFor(float fraction) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(fraction);
    const std::uint32_t exponent = (bits >> 23) & 0xFF;
    if ((bits >> 31) != 0 || exponent >= 127) {
        return 1000;
    }
    // A subnormal float (exponent 0) has no hidden bit, and its scale is that
    // of exponent 1.
    const std::uint64_t mantissa = (bits & 0x7FFFFF) | (exponent != 0 ? 0x800000u : 0u);
    const std::uint32_t shift = 150 - (exponent != 0 ? exponent : 1);
    return 1000 + static_cast<std::uint32_t>(shift < 64 ? (mantissa * 2000) >> shift : 0);
}

float FractionGenerator::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return FractionOf(state_);
}

// Through a signed integer, which the x87 loads as it is: 24 bits fit a
// float's mantissa, and the scale is a power of two.
float FractionGenerator::FractionOf(std::uint32_t state) {
    return static_cast<float>(static_cast<std::int32_t>(state >> 8)) * (1.0f / 16777216.0f);
}

}  // namespace patch
