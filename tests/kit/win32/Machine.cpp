#include "tests/kit/win32/Machine.h"

#include <windows.h>

#include "tests/kit/win32/RegistryJournal.h"

namespace kit::win32 {

namespace {

struct WindowsVersion {
    unsigned major;
    unsigned minor;
    unsigned build;
};

// The version that Windows really is: RtlGetVersion's, where ntdll has it
// (2000 and later), since GetVersion answers 6.2 from 8.1 on to a program
// whose manifest names no later Windows; else GetVersion's, in every
// kernel32 from NT 3.1 on.
WindowsVersion Version() {
    const DWORD answer = GetVersion();
    WindowsVersion version = {answer & 0xFF, (answer >> 8) & 0xFF, (answer >> 16) & 0x7FFF};
    struct RtlVersion {
        ULONG size;
        ULONG major;
        ULONG minor;
        ULONG build;
        ULONG platform;
        WCHAR servicePack[128];
    };
    using RtlGetVersionCall = LONG(WINAPI*)(RtlVersion*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    RtlVersion real = {};
    real.size = sizeof real;
    if (rtlGetVersion != nullptr && rtlGetVersion(&real) == 0) {
        version = {real.major, real.minor, real.build & 0xFFFF};
    }
    return version;
}

// The service pack, as Windows names it in the registry (from NT 3.1 on).
void AppendServicePack(Buffer& out) {
    HKEY key = nullptr;
    char name[128] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    const bool found =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                      KEY_QUERY_VALUE, &key) == ERROR_SUCCESS &&
        RegQueryValueExA(key, "CSDVersion", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ && name[0] != '\0';
    if (key != nullptr) {
        RegCloseKey(key);
    }
    out.Append(found ? name : "no service pack");
}

const char* WineVersion() {
    using WineGetVersionCall = const char*(__cdecl*)();
    const auto wineGetVersion = reinterpret_cast<WineGetVersionCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return wineGetVersion != nullptr ? wineGetVersion() : nullptr;
}

}  // namespace

void DescribeMachine(Buffer& out) {
    const WindowsVersion version = Version();
    out.Append("Windows ").AppendNumber(version.major).Append('.').AppendNumber(version.minor);
    out.Append(" build ").AppendNumber(version.build).Append(", ");
    AppendServicePack(out);
    out.Append(UnderWow64() ? ", 64-bit (the kit runs under WOW64)\r\n" : ", 32-bit\r\n");
    if (const char* wine = WineVersion()) {
        out.Append("Wine ").Append(wine).Append("\r\n");
    }
    const HDC screen = GetDC(nullptr);
    out.Append("ANSI code page ").AppendNumber(GetACP()).Append(", ");
    out.AppendNumber(static_cast<unsigned>(GetDeviceCaps(screen, LOGPIXELSX))).Append(" dpi, ");
    ReleaseDC(nullptr, screen);
    out.Append(RunsAsAdministrator() ? "administrator (elevated where Windows elevates)\r\n"
                                     : "not an administrator\r\n");
}

bool RunsAsAdministrator() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    Buffer groups;
    for (DWORD i = 0; i < size; ++i) {
        groups.Append('\0');
    }
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    bool found = false;
    if (!groups.Failed() && size > 0 &&
        GetTokenInformation(token, TokenGroups, const_cast<char*>(groups.CStr()), size, &size) &&
        AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                 0, 0, 0, 0, &administrators)) {
        const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.CStr());
        for (DWORD i = 0; i < list->GroupCount; ++i) {
            // A filtered token of Vista and later holds the group for denying only.
            found = found || ((list->Groups[i].Attributes & SE_GROUP_ENABLED) != 0 &&
                              EqualSid(list->Groups[i].Sid, administrators));
        }
        FreeSid(administrators);
    }
    CloseHandle(token);
    return found;
}

// Window stations and desktops are looked up, where user32 has them.
bool HasVisibleDesktop() {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    using GetProcessWindowStationCall = HWINSTA(WINAPI*)();
    using GetUserObjectInformationCall = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);
    using OpenInputDesktopCall = HDESK(WINAPI*)(DWORD, BOOL, ACCESS_MASK);
    using CloseDesktopCall = BOOL(WINAPI*)(HDESK);
    const auto getProcessWindowStation = reinterpret_cast<GetProcessWindowStationCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetProcessWindowStation")));
    const auto getUserObjectInformation = reinterpret_cast<GetUserObjectInformationCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetUserObjectInformationA")));
    const auto openInputDesktop = reinterpret_cast<OpenInputDesktopCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "OpenInputDesktop")));
    const auto closeDesktop = reinterpret_cast<CloseDesktopCall>(
        reinterpret_cast<void*>(GetProcAddress(user32, "CloseDesktop")));
    if (getProcessWindowStation == nullptr || getUserObjectInformation == nullptr ||
        openInputDesktop == nullptr || closeDesktop == nullptr) {
        return true;  // a Windows without them shows its one desktop
    }
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    if (!getUserObjectInformation(getProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                  &needed) ||
        (flags.dwFlags & WSF_VISIBLE) == 0) {
        return false;
    }
    const HDESK input = openInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (input == nullptr) {
        return false;
    }
    closeDesktop(input);
    return true;
}

}  // namespace kit::win32
