#pragma once

// Whether this 32-bit process runs on 64-bit Windows (WOW64), which keeps two
// views of HKLM\SOFTWARE; elsewhere there is one, and the view flags, which
// Windows 2000 and NT 4.0 do not know, are left out. IsWow64Process (XP SP2
// and later) is looked up. Header-only, for the kit's runner too, which has
// no C runtime.

#include <windows.h>

inline bool UnderWow64() {
    using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE, BOOL*);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
