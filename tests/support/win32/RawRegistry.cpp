#include "tests/support/win32/RawRegistry.h"

#include <stdexcept>
#include <string>

namespace {
constexpr std::uint8_t kCanary = 0xCC;
}

void StoreBytes(HKEY key, const char* name, const StoredBytes& stored) {
    // A non-NUL byte just past the data keeps RegSetValueExA from storing a
    // terminator of its own.
    std::vector<std::uint8_t> data = stored.bytes;
    data.push_back(kCanary);
    const LONG status = RegSetValueExA(key, name, 0, static_cast<DWORD>(stored.type), data.data(),
                                       static_cast<DWORD>(stored.bytes.size()));
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string("cannot store ") + name + ": " +
                                 std::to_string(status));
    }
}

std::optional<StoredBytes> FetchBytes(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Exactly the reported size, so that the system adds no terminator of its own.
    std::vector<std::uint8_t> data(size + 1, kCanary);
    if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (data[size] != kCanary) {
        throw std::runtime_error(std::string("the registry wrote past ") + name);
    }
    data.resize(size);
    return StoredBytes{static_cast<std::int32_t>(type), data};
}
