#include "tests/e2e/VelmoraProcess.h"

#include <winternl.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace e2e {

namespace {

constexpr const char* kMessageBoxTitle = "Velmora";

struct Listing {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK ListTopLevel(HWND window, LPARAM parameter) {
    auto& listing = *reinterpret_cast<Listing*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == listing.processId) {
        listing.windows.push_back(window);
    }
    return TRUE;
}

// Every top-level window of the process, shown or hidden, in Z order.
std::vector<HWND> TopLevelWindows(DWORD processId) {
    Listing listing = {processId, {}};
    EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&listing));
    return listing.windows;
}

// The first shown top-level window of the process with that class (any,
// where nullptr) and title.
HWND FindTopLevel(DWORD processId, const char* className, const char* title) {
    for (const HWND window : TopLevelWindows(processId)) {
        char found[64] = {};
        GetClassNameA(window, found, sizeof found);
        if (IsWindowVisible(window) && (className == nullptr || std::string(found) == className) &&
            WindowText(window) == title) {
            return window;
        }
    }
    return nullptr;
}

struct ChildSearch {
    HWND parent;
    const char* className;
    const char* caption;  // nullptr: any
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM parameter) {
    auto& search = *reinterpret_cast<ChildSearch*>(parameter);
    char className[64] = {};
    char caption[256] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, caption, sizeof caption);
    if (GetParent(child) == search.parent && lstrcmpiA(className, search.className) == 0 &&
        (search.caption == nullptr || std::string(caption) == search.caption)) {
        search.found = child;
        return FALSE;
    }
    return TRUE;
}

// The first control of `window` of that class and caption, as FindWindowEx
// finds it (NT 3.51 and later) with calls that NT 3.1 has.
HWND FindControl(HWND window, const char* className, const char* caption) {
    ChildSearch search = {window, className, caption, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::string BuildFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\'));
    folder.resize(folder.find_last_of('\\'));
    return folder;
}

bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(Milliseconds(5));
    }
    return true;
}

// WM_GETTEXT crosses processes; a timeout keeps a hung window from hanging the test.
std::string WindowText(HWND window) {
    char text[512] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return {};
    }
    return std::string(text, length);
}

VelmoraProcess::VelmoraProcess(std::string program, std::string caption, std::string arguments)
    : caption_(std::move(caption)) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + BuildFolder() + "\\" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    started_ = Clock::now();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        throw std::runtime_error("cannot start " + commandLine + ": error " +
                                 std::to_string(GetLastError()));
    }
}

VelmoraProcess::~VelmoraProcess() {
    if (!HasExited()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND VelmoraProcess::WaitForWindow() {
    WaitUntil([this] {
        window_ = FindTopLevel(process_.dwProcessId, nullptr, caption_.c_str());
        return window_ != nullptr || HasExited();
    });
    return window_;
}

HWND VelmoraProcess::Status() const {
    return FindControl(window_, "Static", nullptr);
}

HWND VelmoraProcess::CancelButton() const {
    return FindControl(window_, "Button", "&Cancel");
}

HWND VelmoraProcess::CloseButton() const {
    return FindControl(window_, "Button", "&Close");
}

std::string VelmoraProcess::StatusText() const {
    return WindowText(Status());
}

HWND VelmoraProcess::FindMessageBox() const {
    return FindTopLevel(process_.dwProcessId, "#32770", kMessageBoxTitle);
}

HWND VelmoraProcess::WaitForMessageBox(Milliseconds timeout) const {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            box = FindMessageBox();
            return box != nullptr || HasExited();
        },
        timeout);
    return box;
}

// The message text is the box's static control with id 0xFFFF.
std::string VelmoraProcess::MessageBoxText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

bool VelmoraProcess::AnswerMessageBox(HWND box, int buttonId) {
    PostMessageA(GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
    return WaitUntil([box] { return !IsWindow(box); });
}

// GetGUIThreadInfo tells it where user32 has it (NT 4.0 SP3 and later);
// elsewhere this thread shares the window's input state for a moment to ask.
HWND VelmoraProcess::FocusedControl() const {
    using GetGuiThreadInfoCall = BOOL(WINAPI*)(DWORD, GUITHREADINFO*);
    const auto getGuiThreadInfo = reinterpret_cast<GetGuiThreadInfoCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetGUIThreadInfo")));
    if (getGuiThreadInfo == nullptr) {
        if (!AttachThreadInput(GetCurrentThreadId(), process_.dwThreadId, TRUE)) {
            return nullptr;
        }
        const HWND focus = GetFocus();
        AttachThreadInput(GetCurrentThreadId(), process_.dwThreadId, FALSE);
        return focus;
    }
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!getGuiThreadInfo(process_.dwThreadId, &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

void VelmoraProcess::PressKey(WORD virtualKey) const {
    const HWND target = FocusedControl() != nullptr ? FocusedControl() : window_;
    const UINT scanCode = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scanCode << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scanCode << 16) | (3u << 30));
}

namespace {

// WM_SYSKEYDOWN and WM_SYSKEYUP, with the context bit (29) set where Alt is down.
void PressSystemKey(HWND target, WORD virtualKey, bool altDown) {
    const UINT scanCode = MapVirtualKeyA(virtualKey, 0);
    const UINT context = altDown ? 1u << 29 : 0;
    PostMessageA(target, WM_SYSKEYDOWN, virtualKey, 1 | (scanCode << 16) | context);
    PostMessageA(target, WM_SYSKEYUP, virtualKey, 1 | (scanCode << 16) | context | (3u << 30));
}

}  // namespace

// As Windows sends a key pressed with Alt held.
void VelmoraProcess::PressAltKey(WORD virtualKey) const {
    PressSystemKey(FocusedControl() != nullptr ? FocusedControl() : window_, virtualKey, true);
}

void VelmoraProcess::PressKeyWithNoFocus(WORD virtualKey) const {
    PressSystemKey(window_, virtualKey, false);
}

void VelmoraProcess::Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void VelmoraProcess::ClickCloseBox() const {
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

const char* EndingName(Ending ending) {
    constexpr const char* kNames[] = {"Space",
                                      "Enter",
                                      "Escape",
                                      "AltC",
                                      "CloseBox",
                                      "AltF4",
                                      "QuitPostedByAnotherProgram",
                                      "EveryWindowClosed"};
    return kNames[static_cast<int>(ending)];
}

void VelmoraProcess::End(Ending ending) const {
    switch (ending) {
        case Ending::Space:
            PressKey(VK_SPACE);
            break;
        case Ending::Enter:
            PressKey(VK_RETURN);
            break;
        case Ending::Escape:
            PressKey(VK_ESCAPE);
            break;
        case Ending::AltC:
            PressAltKey('C');
            break;
        case Ending::CloseBox:
            ClickCloseBox();
            break;
        case Ending::AltF4:
            PressAltKey(VK_F4);
            break;
        case Ending::QuitPostedByAnotherProgram:
            PostThreadMessageA(process_.dwThreadId, WM_QUIT, kQuitCodeOfAnotherProgram, 0);
            break;
        case Ending::EveryWindowClosed: {
            const HWND owner = GetWindow(window_, GW_OWNER);
            PostMessageA(owner, WM_CLOSE, 0, 0);
            for (const HWND window : TopLevelWindows(process_.dwProcessId)) {
                if (window != owner) {
                    PostMessageA(window, WM_CLOSE, 0, 0);
                }
            }
            break;
        }
    }
}

// The version fields of a 32-bit process environment block, which Windows and
// Wine fill as the process starts, and which GetVersionEx and RtlGetVersion
// answer from.
std::string VelmoraProcess::WindowsVersionSeen() const {
    constexpr std::uintptr_t kMajorVersionAt = 0xA4;
    constexpr std::uintptr_t kMinorVersionAt = 0xA8;
    using QueryCall = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG major = 0;
    ULONG minor = 0;
    if (query == nullptr ||
        query(process_.hProcess, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        return "unknown";
    }
    const auto at = reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress);
    if (!ReadProcessMemory(process_.hProcess, reinterpret_cast<void*>(at + kMajorVersionAt), &major,
                           sizeof major, nullptr) ||
        !ReadProcessMemory(process_.hProcess, reinterpret_cast<void*>(at + kMinorVersionAt), &minor,
                           sizeof minor, nullptr)) {
        return "unknown";
    }
    return std::to_string(major) + "." + std::to_string(minor);
}

bool VelmoraProcess::HasExited() const {
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

std::optional<DWORD> VelmoraProcess::WaitForExit(Milliseconds timeout) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

}  // namespace e2e
