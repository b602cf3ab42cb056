#include "registry/Registry.h"

#include <algorithm>
#include <array>

#include "basics/CodePage.h"
#include "basics/NumberText.h"

namespace registry {

namespace {

using basics::AnsiText;
using basics::Failure;
using basics::kErrorSuccess;
using basics::Text;

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

// A text's data, read into a buffer of the size that the first query reported.
// The count includes the terminator stored with the text, which is kept. The
// text is never cut to the count: a code page never makes more characters of
// a byte count than there are bytes.
Status ReadText(KeyHandle key, const AnsiText& name, std::uint32_t size, RegValue& value) {
    // Never a null buffer, even for a zero-byte text: a null buffer would turn
    // the read into another size query.
    AnsiText buffer;
    if (!buffer.Allocate(std::max<std::uint32_t>(size, 1))) {
        return basics::kErrorNotEnoughMemory;
    }
    std::uint32_t type = 0;
    const Status result = api::RegQueryValueExA(
        key, name.CStr(), &type, reinterpret_cast<std::uint8_t*>(buffer.Data()), &size);
    if (result != kErrorSuccess) {
        value = RegValue();
        return result;
    }
    size = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(buffer.Length()));
    Text text;
    if (const Status converted = basics::FromAnsi({buffer.CStr(), size}, text);
        converted != kErrorSuccess) {
        return converted;
    }
    value = RegValue(std::move(text));
    return kErrorSuccess;
}

// The integer's own size, never more, so that a longer value answers
// ERROR_MORE_DATA instead of being written past it. Bytes that a shorter value
// leaves unfilled stay 0.
Status ReadInteger(KeyHandle key, const AnsiText& name, std::uint32_t size, RegValue& value) {
    IntegerBytes bytes{};
    size = std::min<std::uint32_t>(size, bytes.size());
    std::uint32_t type = 0;
    const Status result = api::RegQueryValueExA(key, name.CStr(), &type, bytes.data(), &size);
    if (result == kErrorSuccess) {
        value = RegValue(FromLittleEndian(bytes));
    }
    return result;
}

// A failure of the code page or of memory, as WriteValue passes it up.
Failure ConversionFailure(Status status) {
    return Failure(status == basics::kErrorNotEnoughMemory
                       ? "There is not enough memory to go on."
                       : "The text cannot be converted to or from the system's code page.");
}

// A short, printable rendering of a text for a failure's reason.
Failure NotANumber(std::u16string_view text) {
    constexpr std::size_t kShown = 40;
    Failure failure("The text \"");
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
        const char16_t c = text[i];
        const char shown = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        failure.Append({&shown, 1});
    }
    return failure.Append(text.size() > kShown ? "...\"" : "\"")
        .Append(" is not a whole number from -2147483648 to 2147483647.");
}

WriteResult Store(KeyHandle key, std::u16string_view name, std::int32_t type,
                  const std::uint8_t* data, std::size_t size) {
    AnsiText ansiName;
    if (const Status converted = basics::ToAnsi(name, ansiName); converted != kErrorSuccess) {
        return {kErrorSuccess, ConversionFailure(converted)};
    }
    if (size > UINT32_MAX) {
        return {kErrorSuccess, Failure("The text is too long to store in the registry.")};
    }
    return {api::RegSetValueExA(key, ansiName.CStr(), type, data, static_cast<std::uint32_t>(size)),
            std::nullopt};
}

// A text as it is, an integer as its decimal digits, converted to ANSI. An
// AnsiText keeps a NUL just past its last byte, which is where RegSetValueExA
// looks to decide whether to store a terminator.
WriteResult WriteText(KeyHandle key, std::u16string_view name, const RegValue& value) {
    AnsiText bytes;
    Status converted = kErrorSuccess;
    if (const Text* text = value.IfText()) {
        converted = basics::ToAnsi(text->View(), bytes);
    } else if (const std::int32_t* integer = value.IfInteger()) {
        converted = basics::ToAnsi(basics::DecimalText(*integer).View(), bytes);
    } else {
        return {kErrorSuccess, Failure("There is no value to store as text.")};
    }
    if (converted != kErrorSuccess) {
        return {kErrorSuccess, ConversionFailure(converted)};
    }
    return Store(key, name, api::kRegSz, reinterpret_cast<const std::uint8_t*>(bytes.CStr()),
                 bytes.Length());
}

WriteResult WriteInteger(KeyHandle key, std::u16string_view name, const RegValue& value) {
    std::int32_t number = 0;
    if (const std::int32_t* integer = value.IfInteger()) {
        number = *integer;
    } else if (const Text* text = value.IfText()) {
        const auto parsed = basics::ParseWholeNumber(text->View());
        if (!parsed) {
            return {kErrorSuccess, NotANumber(text->View())};
        }
        number = *parsed;
    } else {
        return {kErrorSuccess, Failure("There is no value to store as a number.")};
    }
    const IntegerBytes bytes = ToLittleEndian(number);
    return Store(key, name, api::kRegDword, bytes.data(), bytes.size());
}

}  // namespace

// Every failure that ReadValue traps (memory, the code page) comes while its
// result is still 0, after a query that succeeded or before any: it answers
// that failure's own status, never 0, with `value` untouched.
Status ReadValue(KeyHandle key, std::u16string_view name, RegValue& value) {
    AnsiText ansiName;
    if (const Status converted = basics::ToAnsi(name, ansiName); converted != kErrorSuccess) {
        return converted;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const Status result = api::RegQueryValueExA(key, ansiName.CStr(), &type, nullptr, &size);
    if (result != kErrorSuccess) {
        return result;
    }
    if (type == api::kRegSz) {
        return ReadText(key, ansiName, size, value);
    }
    if (type == api::kRegBinary || type == api::kRegDword) {
        return ReadInteger(key, ansiName, size, value);
    }
    return kUnhandledType;
}

WriteResult WriteValue(KeyHandle key, std::u16string_view name, const RegValue& value,
                       std::int32_t type) {
    if (type == api::kRegSz) {
        return WriteText(key, name, value);
    }
    if (type == api::kRegDword) {
        return WriteInteger(key, name, value);
    }
    return {kUnhandledType, std::nullopt};
}

}  // namespace registry
