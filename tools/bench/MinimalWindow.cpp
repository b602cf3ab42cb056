// The benchmark's yardstick: the least a Win32 program can be that looks like
// Velmora's window, one static text and two buttons of the same sizes, no
// timer, no registry. Built with the same toolchain and flags as Velmora.exe,
// and stripped as it is.
//
// The benchmark counts a window as visible once it answers for its caption,
// that is once its thread reaches the message loop. Like Velmora, this window
// paints before that (UpdateWindow); otherwise the figure would compare
// Velmora painted against this window not yet painted.

#include <windows.h>

namespace {

constexpr const char* kCaption = "Minimal Window";

int Pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "MinimalWindow";
    RegisterClassA(&windowClass);

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT frame = {0, 0, Pixels(4710, dpi), Pixels(1095, dpi)};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const HWND window = CreateWindowExA(
        WS_EX_DLGMODALFRAME, "MinimalWindow", kCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    const auto child = [&](const char* className, const char* text, DWORD childStyle, int left,
                           int top, int width, int height) {
        CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | childStyle, Pixels(left, dpi),
                        Pixels(top, dpi), Pixels(width, dpi), Pixels(height, dpi), window, nullptr,
                        instance, nullptr);
    };
    child("STATIC", " Initializing", SS_LEFTNOWORDWRAP, 120, 240, 4455, 270);
    child("BUTTON", "&Close", BS_DEFPUSHBUTTON | WS_DISABLED, 2280, 660, 1095, 375);
    child("BUTTON", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 3480, 660, 1095, 375);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
