#include "registry/Registry.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "registry/NumberText.h"

namespace registry {

namespace {

using api::kErrorSuccess;

// Integers cross the registry as 4 little-endian bytes.
using IntegerBytes = std::array<std::uint8_t, 4>;

std::int32_t FromLittleEndian(const IntegerBytes& bytes) {
    const std::uint32_t bits = bytes[0] | (std::uint32_t{bytes[1]} << 8) |
                               (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(bits);
}

IntegerBytes ToLittleEndian(std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

// A short, printable rendering of a text for a failure message.
std::string Quote(std::u16string_view text) {
    constexpr std::size_t kShown = 40;
    std::string quoted = "\"";
    for (const char16_t c : text.substr(0, kShown)) {
        quoted += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return quoted + (text.size() > kShown ? "...\"" : "\"");
}

std::u16string AsText(const RegValue& value) {
    if (const auto* text = std::get_if<std::u16string>(&value)) {
        return *text;
    }
    if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        return DecimalText(*integer);
    }
    throw ConversionError("There is no value to store as text.");
}

std::int32_t AsInteger(const RegValue& value) {
    if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        return *integer;
    }
    if (const auto* text = std::get_if<std::u16string>(&value)) {
        if (const auto number = ParseWholeNumber(*text)) {
            return *number;
        }
        throw ConversionError("The text " + Quote(*text) +
                              " is not a whole number from -2147483648 to 2147483647.");
    }
    throw ConversionError("There is no value to store as a number.");
}

std::uint32_t ByteCount(const std::string& bytes) {
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw ConversionError("The text is too long to store in the registry.");
    }
    return static_cast<std::uint32_t>(bytes.size());
}

}  // namespace

Status ReadValue(KeyHandle key, std::u16string_view name, RegValue& value) noexcept {
    Status result = kErrorSuccess;
    try {
        const std::string ansiName = api::ToAnsi(name);
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        result = api::RegQueryValueExA(key, ansiName.c_str(), &type, nullptr, &size);
        if (result != kErrorSuccess) {
            return result;
        }

        if (type == api::kRegSz) {
            // Never a null buffer, even for a zero-byte text: a null buffer would
            // turn the read into another size query.
            std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(size, 1), 0);
            result = api::RegQueryValueExA(key, ansiName.c_str(), &type, buffer.data(), &size);
            if (result != kErrorSuccess) {
                value = RegValue{};
                return result;
            }
            size = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(buffer.size()));
            // The count includes the terminator stored with the text, which is kept.
            std::u16string text =
                api::FromAnsi({reinterpret_cast<const char*>(buffer.data()), size});
            text.resize(std::min<std::size_t>(text.size(), size));
            value = std::move(text);
        } else if (type == api::kRegBinary || type == api::kRegDword) {
            // The integer's own size, never more, so that a longer value answers
            // ERROR_MORE_DATA instead of being written past it. Bytes that a
            // shorter value leaves unfilled stay 0.
            IntegerBytes bytes{};
            size = std::min<std::uint32_t>(size, bytes.size());
            result = api::RegQueryValueExA(key, ansiName.c_str(), &type, bytes.data(), &size);
            if (result == kErrorSuccess) {
                value = FromLittleEndian(bytes);
            }
        } else {
            result = kUnhandledType;
        }
        return result;
    } catch (const std::bad_alloc&) {
        // A trapped failure never answers 0, which would claim `value` was set.
        return result != kErrorSuccess ? result : api::kErrorNotEnoughMemory;
    } catch (const api::CodePageError&) {
        return result != kErrorSuccess ? result : api::kErrorNoUnicodeTranslation;
    } catch (...) {
        return result != kErrorSuccess ? result : api::kErrorInternalError;
    }
}

Status WriteValue(KeyHandle key, std::u16string_view name, const RegValue& value,
                  std::int32_t type) {
    if (type == api::kRegSz) {
        // A std::string keeps a NUL just past its last byte, which is where
        // RegSetValueExA looks to decide whether to store a terminator.
        const std::string bytes = api::ToAnsi(AsText(value));
        const std::string ansiName = api::ToAnsi(name);
        return api::RegSetValueExA(key, ansiName.c_str(), api::kRegSz,
                                   reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   ByteCount(bytes));
    }
    if (type == api::kRegDword) {
        const IntegerBytes bytes = ToLittleEndian(AsInteger(value));
        const std::string ansiName = api::ToAnsi(name);
        return api::RegSetValueExA(key, ansiName.c_str(), api::kRegDword, bytes.data(),
                                   static_cast<std::uint32_t>(bytes.size()));
    }
    return kUnhandledType;
}

}  // namespace registry
