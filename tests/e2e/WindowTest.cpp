// The window as it opens, also at high DPI, and each way a user ends the
// program with its keys, its buttons and its frame: the real message loop,
// driven from outside as a user would drive it.

#include <iostream>
#include <string>

#include "tests/e2e/E2eTest.h"
#include "tests/e2e/Wine.h"

namespace e2e {
namespace {

struct Placement {
    int left;
    int top;
    int width;
    int height;
    bool operator==(const Placement&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.left << ", " << p.top << ") " << p.width << " x " << p.height;
}

int Pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// Where a control sits in its window's client area.
Placement ClientPlacement(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Placement Expected(int left, int top, int width, int height, int dpi) {
    return {Pixels(left, dpi), Pixels(top, dpi), Pixels(width, dpi), Pixels(height, dpi)};
}

// The window's client area and controls as twips give them at `dpi`, and
// the window centred on the screen.
void ExpectTwipsLayout(const VelmoraProcess& velmora, int dpi) {
    RECT client;
    GetClientRect(velmora.Window(), &client);
    EXPECT_EQ(client.right, Pixels(4710, dpi));
    EXPECT_EQ(client.bottom, Pixels(1095, dpi));
    RECT frame;
    GetWindowRect(velmora.Window(), &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    EXPECT_EQ(ClientPlacement(velmora.Status()), Expected(120, 240, 4455, 270, dpi));
    EXPECT_EQ(ClientPlacement(velmora.CloseButton()), Expected(2280, 660, 1095, 375, dpi));
    EXPECT_EQ(ClientPlacement(velmora.CancelButton()), Expected(3480, 660, 1095, 375, dpi));
}

TEST_F(E2eTest, WindowOpensCentredInItsInitialState) {
    VelmoraProcess velmora;
    const HWND window = velmora.WaitForWindow();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(WindowText(window), "Corvane for Windows 9x - Velmora");
    EXPECT_EQ(velmora.StatusText(), kInitializing);
    ASSERT_NE(velmora.CancelButton(), nullptr);
    ASSERT_NE(velmora.CloseButton(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(velmora.CancelButton()));
    EXPECT_FALSE(IsWindowEnabled(velmora.CloseButton()));
    EXPECT_TRUE(WaitUntil([&] { return velmora.FocusedControl() == velmora.CancelButton(); }))
        << "the focus starts on Cancel";

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ExpectTwipsLayout(velmora, dpi);
    if (dpi == 96) {
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 314);
        EXPECT_EQ(client.bottom, 73);
    }

    // A fixed dialog frame with a close box only, and no taskbar button: an
    // owned window without WS_EX_APPWINDOW gets none.
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    // Tab finds no other enabled button; Esc does nothing while Close is
    // disabled; a C typed without Alt is no Alt+C, also where Windows sends it
    // as a system key. Keys posted before a tick are handled before it.
    velmora.PressKey(VK_TAB);
    velmora.PressKey(VK_ESCAPE);
    velmora.PressKeyWithNoFocus('C');
    EXPECT_TRUE(WaitForStatus(velmora, kGathering)) << "the sequence starts without a question";
    EXPECT_FALSE(velmora.HasExited()) << "one of the keys ended the program";
    EXPECT_EQ(velmora.FocusedControl(), velmora.CancelButton());

    // Cancel, pressed after step 1 has read the values, before step 2 writes them.
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
    EXPECT_EQ(ReadWindows9xValues(), Windows9xValues{});
}

// Before anything is written: Space and Enter press Cancel, which has the
// focus, as Alt+C does; the frame closes the window; a WM_QUIT that another
// program posts ends the loop, with Velmora's code, not its own; and so does
// another program that closes every window of Velmora's, the hidden owner
// first, which takes the window with it. Each ends it within kAtOnce. A
// click on Cancel ends the test above; the timeline's runs end each way once
// the values are written.
class EndingTest : public E2eTest, public testing::WithParamInterface<Ending> {};

TEST_P(EndingTest, EndsTheProgramAtOnce) {
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return velmora.FocusedControl() == velmora.CancelButton(); }));
    velmora.End(GetParam());
    EXPECT_EQ(velmora.WaitForExit(kAtOnce), kNothingWritten);
    EXPECT_EQ(ReadWindows9xValues(), Windows9xValues{});
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTest,
                         testing::Values(Ending::Space, Ending::Enter, Ending::AltC,
                                         Ending::CloseBox, Ending::AltF4,
                                         Ending::QuitPostedByAnotherProgram,
                                         Ending::EveryWindowClosed),
                         [](const auto& info) { return std::string(EndingName(info.param)); });

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// The screen's DPI for the programs that start while this lives, as the
// display settings keep it (HKCU\Control Panel\Desktop, LogPixels), which
// Wine reads as each process starts; what was there is put back.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof before_;
        had_ = RegQueryValueExA(key_, kName, nullptr, nullptr, reinterpret_cast<BYTE*>(&before_),
                                &size) == ERROR_SUCCESS;
        set_ = RegSetValueExA(key_, kName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                              sizeof dpi) == ERROR_SUCCESS;
    }
    ~ScreenDpi() {
        if (had_) {
            RegSetValueExA(key_, kName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before_),
                           sizeof before_);
        } else {
            RegDeleteValueA(key_, kName);
        }
        RegCloseKey(key_);
    }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
    bool Set() const { return set_; }

private:
    static constexpr const char* kName = "LogPixels";
    HKEY key_ = nullptr;
    DWORD before_ = 0;
    bool had_ = false;
    bool set_ = false;
};

// How wide and high `text` is in the stock GUI font that a program gets at
// `dpi`: this program's own, made for the DPI it started with, scaled.
SIZE TextSize(const std::string& text, int dpi) {
    const HDC screen = GetDC(nullptr);
    const int ownDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, dpi, ownDpi);
    const HFONT scaled = CreateFontIndirectA(&font);
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ before = SelectObject(memory, scaled);
    SIZE size = {};
    GetTextExtentPoint32A(memory, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(memory, before);
    DeleteDC(memory);
    DeleteObject(scaled);
    return size;
}

// Where `text` would not fit inside `control`, what it needs.
std::string Overflow(HWND control, const std::string& text, int dpi) {
    RECT inside;
    GetClientRect(control, &inside);
    const SIZE size = TextSize(text, dpi);
    if (size.cx <= inside.right && size.cy <= inside.bottom) {
        return {};
    }
    return "\"" + text + "\" needs " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
           " in " + std::to_string(inside.right) + " x " + std::to_string(inside.bottom);
}

// At 150 % and 200 %, where Windows from Vista on stretches the window of a
// program that does not say it is DPI-aware: the twips laid out at that DPI,
// and every status text and caption fitting its control in the font of that
// DPI. Wine draws every program at the DPI it is given, so that Velmora says
// it is aware shows only on Windows.
class ScalingTest : public E2eTest, public testing::WithParamInterface<int> {};

TEST_P(ScalingTest, LaysOutTheTwipsAtThatDpi) {
    if (!UnderWine()) {
        GTEST_SKIP() << kOnlyUnderWine << "; Windows takes a new DPI at the next logon";
    }
    const int dpi = GetParam();
    const ScreenDpi screen(static_cast<DWORD>(dpi));
    ASSERT_TRUE(screen.Set());
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    ExpectTwipsLayout(velmora, dpi);
    RECT client;
    GetClientRect(velmora.Window(), &client);
    std::cout << dpi << " dpi: client area " << client.right << " x " << client.bottom << std::endl;
    for (const char* text : {kInitializing, kGathering, kApplying, kComplete}) {
        EXPECT_EQ(Overflow(velmora.Status(), text, dpi), "");
    }
    EXPECT_EQ(Overflow(velmora.CancelButton(), "Cancel", dpi), "");
    EXPECT_EQ(Overflow(velmora.CloseButton(), "Close", dpi), "");
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(kAtOnce), kNothingWritten);
}

INSTANTIATE_TEST_SUITE_P(Dpis, ScalingTest, testing::Values(144, 192),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// From Vista on, Windows stretches the window of a program that does not say
// that it is DPI-aware, blurring every letter; Velmora says so as it starts.
// Windows 10 1607 and later tell another program's awareness by its window.
TEST_F(E2eTest, SaysThatItIsDpiAware) {
    if (UnderWine()) {
        GTEST_SKIP() << kOnlyOnWindows << "a program's DPI awareness to another";
    }
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    using ContextCall = void*(WINAPI*)(HWND);
    using AwarenessCall = int(WINAPI*)(void*);
    const auto windowContext = reinterpret_cast<ContextCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awarenessOf = reinterpret_cast<AwarenessCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (windowContext == nullptr || awarenessOf == nullptr) {
        GTEST_SKIP() << "this Windows tells no program's DPI awareness to another (Windows 10 "
                        "1607 and later do)";
    }
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    constexpr int kSystemAware = 1;  // DPI_AWARENESS_SYSTEM_AWARE
    EXPECT_EQ(awarenessOf(windowContext(velmora.Window())), kSystemAware);
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(kAtOnce), kNothingWritten);
}

}  // namespace
}  // namespace e2e
