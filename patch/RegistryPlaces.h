#pragma once

// Where Windows NT and Windows 9x keep the install date and registered owner,
// both under HKEY_LOCAL_MACHINE.

namespace patch {

inline constexpr const char* kWindowsNtPlace = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* kWindows9xPlace = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

}  // namespace patch
