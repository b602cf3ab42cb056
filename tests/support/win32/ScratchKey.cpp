#include <windows.h>

#include <stdexcept>
#include <string>

#include "tests/support/ScratchKey.h"

namespace {

// Under HKEY_CURRENT_USER, so that the tests need no rights beyond the user's.
std::string ScratchPath() {
    return "Software\\Velmora Tests\\" + std::to_string(GetCurrentProcessId());
}

constexpr std::uint8_t kCanary = 0xCC;

}  // namespace

ScratchKey::ScratchKey() {
    HKEY key = nullptr;
    RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath().c_str());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ScratchPath().c_str(), 0, nullptr, 0,
                        platform::kKeySpecificAllAccess, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the scratch key");
    }
    handle_ = reinterpret_cast<platform::KeyHandle>(key);
}

ScratchKey::~ScratchKey() {
    RegCloseKey(reinterpret_cast<HKEY>(handle_));
    RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath().c_str());
}

void ScratchKey::Store(const char* name, const StoredBytes& stored) {
    // A non-NUL byte just past the data keeps RegSetValueExA from storing a
    // terminator that the case did not ask for.
    std::vector<std::uint8_t> data = stored.bytes;
    data.push_back(kCanary);
    const LONG status = RegSetValueExA(reinterpret_cast<HKEY>(handle_), name, 0, stored.type,
                                       data.data(), static_cast<DWORD>(stored.bytes.size()));
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("cannot store a scratch value: " + std::to_string(status));
    }
}

std::optional<StoredBytes> ScratchKey::Fetch(const char* name) const {
    DWORD type = 0;
    DWORD size = 0;
    const HKEY key = reinterpret_cast<HKEY>(handle_);
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Exactly the reported size, so that the system adds no terminator of its own.
    std::vector<std::uint8_t> data(size + 1, kCanary);
    if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (data[size] != kCanary) {
        throw std::runtime_error("the registry wrote past the size it reported");
    }
    data.resize(size);
    return StoredBytes{static_cast<std::int32_t>(type), data};
}
