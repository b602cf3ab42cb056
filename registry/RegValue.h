#pragma once

#include <cstdint>
#include <string>
#include <variant>

// A value as the program holds it: empty (std::monostate, what a new RegValue
// is), a 32-bit signed integer, or a text of 16-bit characters. A text may hold
// NULs: one read from the registry keeps the terminator that was stored with it.
using RegValue = std::variant<std::monostate, std::int32_t, std::u16string>;
