#pragma once

// How the program turns 32-bit integers into texts and back, for values that
// are read as one kind and written as the other.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace basics {

// The decimal digits of a number, with a leading minus sign when negative,
// kept in the object: at most 11 characters, so making them needs no memory.
class DecimalText {
public:
    explicit DecimalText(std::int32_t number);
    std::u16string_view View() const { return {characters_.data() + start_, kCapacity - start_}; }

private:
    static constexpr std::size_t kCapacity = 11;  // "-2147483648"
    std::array<char16_t, kCapacity> characters_{};
    std::size_t start_ = kCapacity;
};

// The whole number that `text` reads as, or nothing when it does not read as a
// number or the number lies outside the 32-bit signed range.
//
// Accepted: blanks (spaces, tabs) around an optional sign and decimal digits,
// optionally with a fraction after a '.', rounded half to even as OLE
// Automation's conversions do. The text ends at its end or at its first NUL,
// where every Windows program stops reading a REG_SZ. Not accepted: exponents,
// hexadecimal, thousands separators, a locale's decimal comma.
std::optional<std::int32_t> ParseWholeNumber(std::u16string_view text);

}  // namespace basics
