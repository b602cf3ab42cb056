// Fuzzes the text-to-integer conversion with arbitrary 16-bit texts. Checks
// that it never misbehaves (AddressSanitizer, UBSan), that a number it reads
// is given back by its own decimal digits, and that plain decimal digits with
// an optional minus sign read as the number they spell.

#include <cstddef>
#include <cstdint>
#include <string>

#include "basics/NumberText.h"
#include "tests/fuzz/Promise.h"

using basics::DecimalText;
using basics::ParseWholeNumber;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }

    const auto number = ParseWholeNumber(text);
    Promise(!number || ParseWholeNumber(DecimalText(*number).View()) == number,
            "a number read is read again from its own decimal digits");

    // Plain digits, optionally signed, short enough for a 64-bit reference.
    std::u16string plain = text.substr(0, text.find(u'\0'));
    const bool negative = !plain.empty() && plain[0] == u'-';
    const std::u16string digits = plain.substr(negative ? 1 : 0);
    if (!digits.empty() && digits.size() <= 18 &&
        digits.find_first_not_of(u"0123456789") == std::u16string::npos) {
        long long reference = 0;
        for (const char16_t digit : digits) {
            reference = reference * 10 + (digit - u'0');
        }
        reference = negative ? -reference : reference;
        const bool inRange = reference >= INT32_MIN && reference <= INT32_MAX;
        Promise(inRange == number.has_value() && (!inRange || *number == reference),
                "plain decimal digits read as the number they spell, within 32 bits");
    }
    return 0;
}
