#include "patch/StepInterval.h"

namespace patch {

// The product is taken in double precision, where a float times 2000 is
// exact, so it is never rounded up to the next whole number; it is never
// negative, so cutting off its fraction takes it down.
std::uint32_t StepIntervalFor(float fraction) {
    if (!(fraction >= 0.0f && fraction < 1.0f)) {
        fraction = 0.0f;
    }
    return 1000 + static_cast<std::uint32_t>(
                      static_cast<std::int32_t>(static_cast<double>(fraction) * 2000.0));
}

}  // namespace patch
