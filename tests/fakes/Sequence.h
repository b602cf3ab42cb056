#pragma once

// One count that the in-memory registry and the window share, so that a test
// can tell in which order a handler's registry calls and window calls came.

#include <cstdint>

namespace fake {

inline std::uint64_t& LastSequenceNumber() {
    static std::uint64_t last = 0;
    return last;
}

}  // namespace fake
