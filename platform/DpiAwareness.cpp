#include "platform/DpiAwareness.h"

#include <windows.h>

namespace platform::win32 {

// System awareness, not per monitor: the window opens centred on the primary
// screen and lives for the seconds that the patch takes, there it is drawn
// sharp at the system DPI, with the stock font that is made for that DPI and
// a layout that GetDeviceCaps scales, and so are its message boxes. Per
// monitor (Windows 10 1703 and later) would also keep it sharp when dragged
// to a screen of another DPI, at the price of a layout and a font made anew
// on every WM_DPICHANGED: more code on every Windows for a rare move.
//
// Microsoft prefers the manifest's dpiAware to this call, because a DLL that
// reads the DPI as it loads would keep the value from before the call. None
// does here: this runs first in the entry point, when only the DLLs that the
// exe imports are loaded (kernel32, user32, gdi32, advapi32, which read the
// DPI when asked), before the DLL search loads any other.
void BecomeDpiAware() {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return;
    }
    using SetProcessDpiAwareCall = BOOL(WINAPI*)();
    const auto setProcessDpiAware = reinterpret_cast<SetProcessDpiAwareCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
    if (setProcessDpiAware != nullptr) {
        setProcessDpiAware();
    }
}

}  // namespace platform::win32
