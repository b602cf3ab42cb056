#pragma once

// A registry value as it is stored, type and exact bytes: how the tests seed
// and inspect values, in the in-memory registry and in Wine's alike.

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "registry/RegistryApi.h"

struct StoredBytes {
    std::int32_t type = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const StoredBytes&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StoredBytes& stored);

// The bytes of a text as written, NULs included: TextBytes({"Bob\0", 4}).
inline std::vector<std::uint8_t> TextBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A REG_SZ value of exactly these bytes: no terminator is added.
inline StoredBytes Text(std::string_view bytes) {
    return {registry::api::kRegSz, TextBytes(bytes)};
}

// A REG_DWORD value: the number's 4 bytes, little-endian.
inline StoredBytes Dword(std::uint32_t number) {
    return {registry::api::kRegDword,
            {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
             static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}
