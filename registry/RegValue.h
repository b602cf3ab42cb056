#pragma once

// A value as the program holds it: empty (what a new RegValue is), a 32-bit
// signed integer, or a text of 16-bit characters. A text may hold NULs: one
// read from the registry keeps the terminator that was stored with it.

#include <cstdint>
#include <utility>

#include "basics/Text.h"

namespace registry {

class RegValue {
public:
    RegValue() = default;
    explicit RegValue(std::int32_t integer) : kind_(Kind::Integer), integer_(integer) {}
    explicit RegValue(basics::Text text) : kind_(Kind::Text), text_(std::move(text)) {}

    bool IsEmpty() const { return kind_ == Kind::Empty; }
    // The integer or the text that the value holds, or nullptr where it holds
    // the other or nothing.
    const std::int32_t* IfInteger() const { return kind_ == Kind::Integer ? &integer_ : nullptr; }
    const basics::Text* IfText() const { return kind_ == Kind::Text ? &text_ : nullptr; }

private:
    enum class Kind { Empty, Integer, Text };

    Kind kind_ = Kind::Empty;
    std::int32_t integer_ = 0;
    basics::Text text_;
};

}  // namespace registry
