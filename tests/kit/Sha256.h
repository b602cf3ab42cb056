#pragma once

// SHA-256 (FIPS 180-4), for the report's checksum of Velmora.exe: Windows
// before XP SP3 has no SHA-256 of its own, and the runner no C runtime.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kit {

class Sha256 {
public:
    Sha256();
    void Update(std::string_view bytes);
    // The digest of everything updated with; the object is spent after it.
    std::array<std::uint8_t, 32> Finish();

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace kit
