#pragma once

// What a dialog does for its buttons, done for frmPatch's window, which is a
// plain window made in code: the keys (Tab, Enter, Esc, Alt+C), where the
// focus goes when the window is activated or a button is disabled, and which
// button wears the default frame. It presses nothing itself: it says which
// button a key presses, and the window presses it as it presses a clicked one.

#include <windows.h>

#include <optional>

#include "patch/FormServices.h"

namespace platform::win32 {

class DialogBehaviour {
public:
    // The window and its two buttons, once they are made and before the window
    // is shown: the focus goes to cmdCancel when it is first activated.
    void Attach(HWND window, HWND cmdCancel, HWND cmdClose);
    HWND ButtonWindow(patch::Button button) const;

    // What the message loop does with a message that may be a dialog's key:
    // a key taken here is not dispatched, and may press a button.
    struct Key {
        bool taken = false;
        std::optional<patch::Button> presses;
    };
    Key TakeKey(const MSG& message);

    // WM_ACTIVATE: the focus is kept while the window is inactive, and given
    // back when it is activated again.
    void Activated(bool active);
    // As in a dialog: the button with the focus wears the default frame,
    // since Enter presses it; otherwise cmdClose wears it. The window calls
    // it whenever a button gains or loses the focus.
    void ShowDefaultButton() const;
    // Enables or disables a button, and hands the focus on as a dialog does.
    void EnableButton(patch::Button button, bool enabled) const;

private:
    HWND window_ = nullptr;
    HWND cmdCancel_ = nullptr;
    HWND cmdClose_ = nullptr;
    HWND focusToRestore_ = nullptr;
};

}  // namespace platform::win32
