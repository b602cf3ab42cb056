#pragma once

// The DLLs that Windows' own DLLs load by bare name once Velmora's window is
// made, each with the first Windows that ships it in its system folder.
// Where the DLL search cannot be narrowed to System32, Velmora loads these
// from there first (DllSearch.cpp), but only those that the running Windows
// ships: a file of such a name in the system folder of a Windows that lacks
// it was put there by someone (on NT 4.0 every user may write there), and
// loading it would run his code as the administrator who started Velmora.
// Plain logic without <windows.h>, so that the host tests hold it too.

#include <cstdint>

namespace platform {

struct WindowsVersion {
    unsigned major;
    unsigned minor;
};

// What GetVersion answers: the major version in the lowest byte, the minor
// one in the next.
constexpr WindowsVersion FromGetVersion(std::uint32_t answer) {
    return {answer & 0xFF, (answer >> 8) & 0xFF};
}

constexpr bool AtLeast(WindowsVersion running, WindowsVersion first) {
    return running.major > first.major ||
           (running.major == first.major && running.minor >= first.minor);
}

struct SystemDll {
    const char* name;
    WindowsVersion shippedFrom;
};

//   uxtheme.dll  user32 loads it by bare name to draw the window, its buttons
//                and message boxes in the visual style (XP and later)
//   dwmapi.dll   uxtheme and user32 load it by bare name for the desktop
//                compositor (Vista and later)
//   msctf.dll    the text services (language bar, speech, handwriting, the
//                input methods of East Asian languages) bring it into a
//                program that makes windows, where they are on (XP and
//                later); a KnownDLL from Vista on, but not on XP and Server
//                2003. Loaded first from the system folder, it and its own
//                imports come from there, whoever asks for it later and by
//                whatever name
// NT 4.0 and 2000 ship none of the three (2000 has msctf.dll only where
// Office XP put it there), so there Velmora loads nothing.
// imm32.dll is not on the list: user32 loads it as it starts, before the
// entry point runs (on XP and Server 2003 by its full path in the system
// folder, where input methods are on; under Wine always), and it is a
// KnownDLL from Vista on.
// Installers that run from a download folder load more (7-Zip's DllSecur.c
// lists userenv, setupapi, apphelp, propsys, cryptbase, oleacc, clbcatq and
// version too); those serve the shell, COM, device set-up, cryptography and
// accessibility clients, which this window never calls on, or are loaded
// before the entry point runs.
inline constexpr SystemDll kSystemDlls[] = {
    {"uxtheme.dll", {5, 1}},
    {"dwmapi.dll", {6, 0}},
    {"msctf.dll", {5, 1}},
};

// Calls `visit` with the name of each of those that `running` ships.
template <typename Visit>
void ForEachShippedDll(WindowsVersion running, Visit visit) {
    for (const SystemDll& dll : kSystemDlls) {
        if (AtLeast(running, dll.shippedFrom)) {
            visit(dll.name);
        }
    }
}

}  // namespace platform
