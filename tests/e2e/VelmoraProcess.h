#pragma once

// Drives the real Velmora.exe from outside, as a user (or a screen reader)
// would: it starts the process, finds its window and message boxes by process
// and caption, reads their texts and states, presses buttons and sends keys.
// Every wait polls with a timeout; nothing sleeps for a fixed time where a
// condition can be awaited.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace e2e {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

inline constexpr Milliseconds kPatience{15000};

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout = kPatience);

std::string WindowText(HWND window);

// The build folder, where Velmora.exe sits above the test programs and tools.
std::string BuildFolder();

inline constexpr const char* kVelmoraCaption = "Corvane for Windows 9x - Velmora";

// The ways in which a run is ended from outside: by a user's key or click; by
// another program that posts WM_QUIT to the window's thread with an exit code
// of its own (kQuitCodeOfAnotherProgram), which must not become Velmora's; or
// by one that closes every top-level window of the process, as tools do that
// close a program's windows, the hidden owner of Velmora's window first.
enum class Ending {
    Space,
    Enter,
    Escape,
    AltC,
    CloseBox,
    AltF4,
    QuitPostedByAnotherProgram,
    EveryWindowClosed
};
inline constexpr WPARAM kQuitCodeOfAnotherProgram = 77;
const char* EndingName(Ending ending);
inline void PrintTo(Ending ending, std::ostream* out) {
    *out << EndingName(ending);
}

class VelmoraProcess {
public:
    // Starts Velmora.exe, or another program with a window for comparison, from
    // the build folder (or a folder in it); `arguments`, which both ignore, can
    // mark the process as this run's own.
    explicit VelmoraProcess(std::string program = "Velmora.exe",
                            std::string caption = kVelmoraCaption, std::string arguments = "");
    // Kills the process if a test left it running.
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    Clock::time_point Started() const { return started_; }
    HANDLE Handle() const { return process_.hProcess; }

    // frmPatch's window, once it is visible; nullptr if it never shows.
    HWND WaitForWindow();
    HWND Window() const { return window_; }
    // The window's controls, found by class and caption as a screen reader would.
    HWND Status() const;
    HWND CancelButton() const;
    HWND CloseButton() const;
    std::string StatusText() const;

    // A message box of this process titled "Velmora", or nullptr.
    HWND FindMessageBox() const;
    HWND WaitForMessageBox(Milliseconds timeout = kPatience) const;
    static std::string MessageBoxText(HWND box);
    // Presses the box's button with this id (IDYES, IDNO, IDOK) and waits
    // until the box has gone: until then it still counts as open, and the
    // program has not yet been given the answer. False if it stays.
    static bool AnswerMessageBox(HWND box, int buttonId);

    // The control that has the keyboard focus in the window's thread.
    HWND FocusedControl() const;
    // A key pressed and released, sent to the focused control.
    void PressKey(WORD virtualKey) const;
    void PressAltKey(WORD virtualKey) const;
    // A key typed without Alt, as Windows sends it to an active window where
    // no control has the focus (a minimized one): WM_SYSKEYDOWN to the window.
    void PressKeyWithNoFocus(WORD virtualKey) const;
    // A click on the button, as the mouse does it.
    static void Click(HWND button);
    // The close box in the title bar.
    void ClickCloseBox() const;
    // Ends the run as `ending` says.
    void End(Ending ending) const;
    // The Windows version that the process was told it runs on, as major.minor:
    // what its loader put in its process environment block.
    std::string WindowsVersionSeen() const;

    bool HasExited() const;
    // The exit code once the process has ended, or nothing after `timeout`.
    std::optional<DWORD> WaitForExit(Milliseconds timeout = kPatience) const;

private:
    std::string caption_;
    PROCESS_INFORMATION process_ = {};
    Clock::time_point started_;
    HWND window_ = nullptr;
};

}  // namespace e2e
