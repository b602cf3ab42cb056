#pragma once

// Win32 codes that only the tests and the fakes use: the statuses that the
// registry answers in the cases they arrange, the types the program does not
// handle, and the rights that the access mask is made of. The program's own
// are in basics/Status.h and registry/RegistryApi.h.

#include <cstdint>

#include "basics/Status.h"

namespace win32 {

inline constexpr basics::Status kErrorFileNotFound = 2;
inline constexpr basics::Status kErrorAccessDenied = 5;
inline constexpr basics::Status kErrorInvalidHandle = 6;
inline constexpr basics::Status kErrorInvalidParameter = 87;
inline constexpr basics::Status kErrorMoreData = 234;

inline constexpr std::int32_t kRegNone = 0;
inline constexpr std::int32_t kRegExpandSz = 2;
inline constexpr std::int32_t kRegMultiSz = 7;
inline constexpr std::int32_t kRegQword = 11;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyCreateLink = 0x0020;

}  // namespace win32
