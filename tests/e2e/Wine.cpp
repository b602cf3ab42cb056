#include "tests/e2e/Wine.h"

#include <windows.h>

#include <cstring>

namespace e2e {

// Wine's ntdll names its version; no Windows' does.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

WineAppSetting::WineAppSetting(const std::string& program, const char* subkey, const char* name,
                               const char* value)
    : path_("Software\\Wine\\AppDefaults\\" + program + subkey), name_(name) {
    if (!UnderWine()) {
        set_ = true;
        return;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    set_ = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                           KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key,
                           &disposition) == ERROR_SUCCESS &&
           RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
    created_ = disposition == REG_CREATED_NEW_KEY;
    if (key != nullptr) {
        RegCloseKey(key);
    }
}

WineAppSetting::~WineAppSetting() {
    HKEY key = nullptr;
    if (!UnderWine() || RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0,
                                      KEY_SET_VALUE | KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueA(key, name_.c_str());
    DWORD subkeys = 0;
    DWORD values = 0;
    const bool empty =
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0 && values == 0;
    RegCloseKey(key);
    if (created_ && empty) {
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }
}

}  // namespace e2e
