#include "platform/DialogBehaviour.h"

namespace platform::win32 {

using patch::Button;

namespace {

// Windows 2000 and later hide focus rectangles until the keyboard is used; a
// window that moves the focus itself says so, as the dialog manager does. The
// headers for Windows NT 4.0 lack the names, and NT 4.0 ignores the message.
constexpr UINT kChangeUiStateMessage = 0x0127;  // WM_CHANGEUISTATE
constexpr WORD kUiStateClear = 2;               // UIS_CLEAR
constexpr WORD kUiStateHideFocus = 0x1;         // UISF_HIDEFOCUS

// A key message's context code, bit 29 of lParam: set only where Alt was down.
constexpr LPARAM kAltDown = LPARAM{1} << 29;

}  // namespace

void DialogBehaviour::Attach(HWND window, HWND cmdCancel, HWND cmdClose) {
    window_ = window;
    cmdCancel_ = cmdCancel;
    cmdClose_ = cmdClose;
    focusToRestore_ = cmdCancel_;
}

HWND DialogBehaviour::ButtonWindow(Button button) const {
    return button == Button::Cancel ? cmdCancel_ : cmdClose_;
}

// The keys a dialog answers, for a window that is not one: Tab moves between
// the buttons; Enter presses the button with the focus, or cmdClose when no
// button has it; Esc presses cmdClose. Both captions mark C for Alt+C, which
// presses the one of the two that is enabled (they never are both). Space is
// the focused button's own. IsDialogMessage would answer most of these too,
// but it also takes a letter typed without Alt for a button's mnemonic, so
// that a bare C would press Cancel and end the program. WM_SYSCHAR alone does
// not mean Alt either: Windows sends keys typed without it as WM_SYSKEYDOWN
// and WM_SYSCHAR to an active window where no control has the focus, as when
// the window is minimized. Only the context code tells.
DialogBehaviour::Key DialogBehaviour::TakeKey(const MSG& message) {
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) {
        return {};
    }
    if (message.message == WM_KEYDOWN) {
        switch (message.wParam) {
            case VK_TAB: {
                const HWND focus = GetFocus();
                const HWND next = GetNextDlgTabItem(window_, focus == window_ ? nullptr : focus,
                                                    GetKeyState(VK_SHIFT) < 0);
                if (next != nullptr) {
                    SetFocus(next);
                    SendMessageA(window_, kChangeUiStateMessage,
                                 MAKEWPARAM(kUiStateClear, kUiStateHideFocus), 0);
                }
                return {true, std::nullopt};
            }
            case VK_RETURN:
                return {true, GetFocus() == cmdCancel_ ? Button::Cancel : Button::Close};
            case VK_ESCAPE:
                return {true, Button::Close};
        }
    }
    if (message.message == WM_SYSCHAR && (message.lParam & kAltDown) != 0 &&
        (message.wParam == 'c' || message.wParam == 'C')) {
        return {true, IsWindowEnabled(cmdCancel_) ? Button::Cancel : Button::Close};
    }
    return {};
}

// Windows gives the focus to the window itself when it is activated; like a
// dialog, it goes back to the control that had it.
void DialogBehaviour::Activated(bool active) {
    if (!active) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) {
            focusToRestore_ = focus;
        }
        return;
    }
    SetFocus(focusToRestore_ != nullptr && IsWindowEnabled(focusToRestore_) ? focusToRestore_
                                                                            : window_);
}

// A disabled control cannot keep the focus: it passes to the other button if
// that is enabled, otherwise to the window, so that the keys keep working. A
// button that is enabled while nothing has the focus takes it.
void DialogBehaviour::EnableButton(Button button, bool enabled) const {
    const HWND control = ButtonWindow(button);
    const bool hadFocus = GetFocus() == control;
    EnableWindow(control, enabled ? TRUE : FALSE);
    if (!enabled && hadFocus) {
        const HWND next = GetNextDlgTabItem(window_, control, FALSE);
        SetFocus(next != nullptr && next != control ? next : window_);
    } else if (enabled && GetFocus() == window_) {
        SetFocus(control);
    }
    ShowDefaultButton();
}

void DialogBehaviour::ShowDefaultButton() const {
    const HWND focus = GetFocus();
    const HWND defaultButton = (focus == cmdCancel_ || focus == cmdClose_) ? focus : cmdClose_;
    for (const HWND button : {cmdCancel_, cmdClose_}) {
        SendMessageA(button, BM_SETSTYLE,
                     (button == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY,
                     TRUE);
    }
}

}  // namespace platform::win32
