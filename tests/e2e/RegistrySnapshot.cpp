#include "tests/e2e/RegistrySnapshot.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "tests/support/win32/RawRegistry.h"
#include "tests/support/win32/Wow64.h"

namespace e2e {

namespace {

constexpr REGSAM kWow64View32 = 0x0200;  // KEY_WOW64_32KEY
constexpr REGSAM kWow64View64 = 0x0100;  // KEY_WOW64_64KEY

// The view that Velmora.exe, a 32-bit program, sees.
REGSAM ProgramView() {
    return UnderWow64() ? kWow64View32 : 0;
}

class OpenKey {
public:
    OpenKey(const std::string& path, REGSAM access) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Left out of a snapshot: the COM registrations under Classes (nine keys in
// ten, and shared by both views); the 64-bit view's Wow6432Node, which is the
// 32-bit view again; and what Windows itself keeps up to date while the tests
// run, where other processes write at any moment: NetworkCards, which Wine's
// services fill after a prefix starts. Velmora opens no key but its two
// places (the host tests hold it to that), so it cannot write there.
bool Skipped(const std::string& path) {
    return path == "SOFTWARE\\Classes" || path == "SOFTWARE\\Wow6432Node" ||
           path == "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
}

void Walk(const std::string& view, REGSAM viewFlag, const std::string& path, Snapshot& snapshot) {
    OpenKey key(path, KEY_READ | viewFlag);
    DWORD subkeyCount = 0;
    DWORD longestSubkey = 0;
    DWORD valueCount = 0;
    DWORD longestName = 0;
    DWORD largestData = 0;
    if (key.get() == nullptr || RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeyCount,
                                                 &longestSubkey, nullptr, &valueCount, &longestName,
                                                 &largestData, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    std::vector<char> name(std::max(longestName, longestSubkey) + 1);
    std::vector<std::uint8_t> data(largestData + 1);
    for (DWORD index = 0; index < valueCount; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(),
                          &size) == ERROR_SUCCESS) {
            snapshot[view + ":" + path + "\\" + std::string(name.data(), nameLength)] =
                StoredBytes{static_cast<std::int32_t>(type), {data.begin(), data.begin() + size}};
        }
    }
    std::vector<std::string> subkeys;
    for (DWORD index = 0; index < subkeyCount; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key.get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS) {
            subkeys.emplace_back(name.data(), nameLength);
        }
    }
    for (const auto& subkey : subkeys) {
        const std::string subkeyPath = path + "\\" + subkey;
        if (!Skipped(subkeyPath)) {
            Walk(view, viewFlag, subkeyPath, snapshot);
        }
    }
}

}  // namespace

void Seed(const char* place, const char* name, const Value& value) {
    OpenKey key(place, KEY_ALL_ACCESS | ProgramView());
    if (key.get() == nullptr) {
        throw std::runtime_error(std::string("cannot open HKLM\\") + place);
    }
    if (value) {
        StoreBytes(key.get(), name, *value);
    } else {
        RegDeleteValueA(key.get(), name);
    }
}

Value Read(const char* place, const char* name) {
    OpenKey key(place, KEY_READ | ProgramView());
    return key.get() == nullptr ? std::nullopt : FetchBytes(key.get(), name);
}

Windows9xValues ReadWindows9xValues() {
    return {Read(kWindows9xPlace, "FirstInstallDateTime"),
            Read(kWindows9xPlace, "RegisteredOwner")};
}

// Every view of HKLM\SOFTWARE but for what Skipped leaves out; the program's
// is named 32, and the other 64.
Snapshot TakeSnapshot() {
    Snapshot snapshot;
    Walk("32", ProgramView(), "SOFTWARE", snapshot);
    if (UnderWow64()) {
        Walk("64", kWow64View64, "SOFTWARE", snapshot);
    }
    return snapshot;
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> differences;
    for (const auto& [name, value] : before) {
        const auto found = after.find(name);
        if (found == after.end()) {
            differences.push_back("removed " + name);
        } else if (!(found->second == value)) {
            differences.push_back("changed " + name);
        }
    }
    for (const auto& [name, value] : after) {
        if (before.find(name) == before.end()) {
            differences.push_back("added " + name);
        }
    }
    return differences;
}

}  // namespace e2e
