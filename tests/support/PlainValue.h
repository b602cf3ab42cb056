#pragma once

// RegValue in the terms that the tests write and compare: nothing, an integer
// or a std::u16string, which GoogleTest prints.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

#include "registry/RegValue.h"

using PlainValue = std::variant<std::monostate, std::int32_t, std::u16string>;

inline PlainValue Plain(const registry::RegValue& value) {
    if (const std::int32_t* integer = value.IfInteger()) {
        return *integer;
    }
    if (const basics::Text* text = value.IfText()) {
        return std::u16string(text->View());
    }
    return std::monostate();
}

inline registry::RegValue FromPlain(const PlainValue& value) {
    if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        return registry::RegValue(*integer);
    }
    if (const auto* text = std::get_if<std::u16string>(&value)) {
        basics::Text copy;
        if (!copy.Assign(*text)) {
            throw std::runtime_error("no memory for a test's text");
        }
        return registry::RegValue(std::move(copy));
    }
    return registry::RegValue();
}
