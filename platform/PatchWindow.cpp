#include "platform/PatchWindow.h"

#include "patch/StepInterval.h"
#include "patch/frmPatchLayout.h"
#include "resources/ResourceIds.h"

namespace platform::win32 {

namespace layout = patch::layout;
using patch::Button;

namespace {

constexpr const char* kWindowClass = "VelmoraPatchWindow";
constexpr int kStatusId = 100;
constexpr int kCancelId = 101;
constexpr int kCloseId = 102;
// Runs Form_Activate after the activation that posted it has been handled.
constexpr UINT kFormActivateMessage = WM_APP + 1;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY;

}  // namespace

PatchWindow::PatchWindow(HINSTANCE instance)
    : instance_(instance),
      stepTimer_(patch::kFirstStepInterval),
      random_(GetTickCount()),
      events_(*this) {}

bool PatchWindow::Create() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    // The caption's small icon is left to the system, which makes it from the
    // same icon resource.
    windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(VELMORA_ICON_GROUP_ID));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&windowClass)) {
        return false;
    }

    const HDC screen = GetDC(nullptr);
    dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    RECT frame = {0, 0, layout::Pixels(layout::kClientWidth, dpiX_),
                  layout::Pixels(layout::kClientHeight, dpiY_)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    // A window with an owner gets no taskbar button; the owner is never shown.
    owner_ = CreateWindowExA(0, "STATIC", layout::kCaption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance_, nullptr);
    if (owner_ == nullptr ||
        CreateWindowExA(kWindowExStyle, kWindowClass, layout::kCaption, kWindowStyle, left, top,
                        width, height, owner_, nullptr, instance_, this) == nullptr ||
        !CreateControls()) {
        return false;
    }

    // Both before the window is first shown: showing it activates it, and
    // that activation gives the focus to cmdCancel through the dialog
    // behaviour and sets Form_Activate, which arms the step timer, going.
    dialog_.Attach(window_, cmdCancel_, cmdClose_);
    stepTimer_.Attach(window_);
    made_ = true;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    return true;
}

HWND PatchWindow::CreateControl(const char* className, const layout::Control& placement,
                                DWORD style, DWORD exStyle, int id) {
    const auto [left, top, width, height] = layout::Scaled(placement, dpiX_, dpiY_);
    const HWND control = CreateWindowExA(
        exStyle, className, placement.caption, style, left, top, width, height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (control != nullptr) {
        SendMessageA(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    return control;
}

// Made in tab order: the status text, then cmdCancel, then cmdClose.
bool PatchWindow::CreateControls() {
    status_ =
        CreateControl("STATIC", layout::kStatus,
                      WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE,
                      WS_EX_STATICEDGE, kStatusId);
    cmdCancel_ =
        CreateControl("BUTTON", layout::kCmdCancel, kButtonStyle | BS_PUSHBUTTON, 0, kCancelId);
    cmdClose_ = CreateControl("BUTTON", layout::kCmdClose,
                              kButtonStyle | BS_DEFPUSHBUTTON | WS_DISABLED, 0, kCloseId);
    return status_ != nullptr && cmdCancel_ != nullptr && cmdClose_ != nullptr;
}

int PatchWindow::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        const DialogBehaviour::Key key = dialog_.TakeKey(message);
        if (key.presses) {
            PressIfEnabled(*key.presses);
        }
        if (!key.taken) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (got != 0) {
        return static_cast<int>(patch::ExitCode::UnexpectedFailure);
    }
    // Velmora ends through EndProgram and posts no WM_QUIT: this one came from
    // another program. Its code is that program's choice; Velmora's says what
    // was written, as when the window is closed.
    return static_cast<int>(events_.WrittenSoFar());
}

// The one place where Windows calls into the program.
LRESULT CALLBACK PatchWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<PatchWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PatchWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT PatchWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case kFormActivateMessage:
            events_.Activated();
            return 0;
        case WM_TIMER:
            if (wParam == StepTimer::kId) {
                events_.TimerTicked();
            }
            return 0;
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            // Close box, Alt+F4 or the system menu: no handler, the program ends.
            events_.Closed();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return DefWindowProcA(window_, message, wParam, lParam);
    }
}

// The focus goes back where it was, as in a dialog. Until Form_Activate has
// run, an activation is told to the form once it is over. Without that
// message the patch would never start, so a queue too full to take it ends
// the program as a failure; once the form has its activation, later ones
// (a box closing, the user coming back) need no message and cannot fail.
void PatchWindow::OnActivate(WPARAM wParam) {
    const bool active = LOWORD(wParam) != WA_INACTIVE;
    dialog_.Activated(active);
    if (active && events_.ActivationPending() &&
        !PostMessageA(window_, kFormActivateMessage, 0, 0)) {
        events_.FailedUnexpectedly(basics::Failure("The patch cannot be started."));
    }
}

void PatchWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    const auto control = reinterpret_cast<HWND>(lParam);
    if (control != cmdCancel_ && control != cmdClose_) {
        return;
    }
    switch (HIWORD(wParam)) {
        case BN_CLICKED:
            PressIfEnabled(control == cmdCancel_ ? Button::Cancel : Button::Close);
            break;
        case BN_SETFOCUS:
        case BN_KILLFOCUS:
            dialog_.ShowDefaultButton();
            break;
    }
}

// Velmora never destroys its window: it ends with it. So the window has gone
// because something closed its hidden owner, which takes the window along
// (another program closing every window of Velmora's, or those of its
// caption), and the program ends as closing the window ends it. A window that
// CreateWindowEx gives up on while making it is left to Create's caller.
// Where a message box is open, the box goes with the window and its handler
// ends the program as the box returns; the WM_QUIT makes the box's own loop
// return even on a Windows that kept the box.
void PatchWindow::OnDestroy() {
    if (made_) {
        events_.Destroyed();
        PostQuitMessage(0);
    }
}

void PatchWindow::PressIfEnabled(Button button) {
    if (IsWindowEnabled(dialog_.ButtonWindow(button))) {
        events_.ButtonPressed(button);
    }
}

}  // namespace platform::win32
