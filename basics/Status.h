#pragma once

// What a call of the system answers, and what the program passes on from it:
// 0 for success, otherwise a Win32 error code. These are the codes that the
// program itself gives.

#include <cstdint>

namespace basics {

using Status = std::int32_t;

inline constexpr Status kErrorSuccess = 0;
inline constexpr Status kErrorNotEnoughMemory = 8;
inline constexpr Status kErrorNoUnicodeTranslation = 1113;

}  // namespace basics
