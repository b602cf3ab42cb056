// The window as it opens, and each way a user ends the program with its keys,
// its buttons and its frame: the real message loop, driven from outside as a
// user would drive it.

#include "tests/e2e/E2eTest.h"

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
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Pixels(4710, dpi));
    EXPECT_EQ(client.bottom, Pixels(1095, dpi));
    if (dpi == 96) {
        EXPECT_EQ(client.right, 314);
        EXPECT_EQ(client.bottom, 73);
    }
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    EXPECT_EQ(ClientPlacement(velmora.Status()), Expected(120, 240, 4455, 270, dpi));
    EXPECT_EQ(ClientPlacement(velmora.CloseButton()), Expected(2280, 660, 1095, 375, dpi));
    EXPECT_EQ(ClientPlacement(velmora.CancelButton()), Expected(3480, 660, 1095, 375, dpi));

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
