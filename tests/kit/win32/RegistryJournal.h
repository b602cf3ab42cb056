#pragma once

// The registry values that the Windows tests may touch, journalled before the
// first test and put back after the last, in every view that this Windows has.

#include "tests/kit/Journal.h"
#include "tests/support/win32/Wow64.h"

namespace kit::win32 {

// Reads each value and key that the tests may touch into `journal`.
[[nodiscard]] bool Capture(Journal& journal);

// Puts each entry back and reads it again; adds to `report` a line for each
// that does not read as it was, and answers how many.
std::size_t Restore(const Journal& journal, Buffer& report);

}  // namespace kit::win32
