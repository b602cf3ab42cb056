#include "basics/NumberText.h"

#include <algorithm>

namespace basics {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

// Digits from the last: the magnitude as unsigned, since -2147483648 has none
// as a signed number.
DecimalText::DecimalText(std::int32_t number) {
    const bool negative = number < 0;
    std::uint32_t magnitude =
        negative ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
    do {
        characters_[--start_] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        characters_[--start_] = u'-';
    }
}

std::optional<std::int32_t> ParseWholeNumber(std::u16string_view text) {
    text = TrimBlanks({text.data(), std::min(text.size(), text.find(u'\0'))});

    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }

    // Any magnitude above 2^32 is out of range however it rounds, so the count
    // stops there instead of overflowing on a long run of digits.
    constexpr std::uint64_t kBeyondRange = std::uint64_t{1} << 32;
    std::uint64_t magnitude = 0;
    bool sawDigit = false;
    while (!text.empty() && IsDigit(text.front())) {
        magnitude = std::min(magnitude * 10 + (text.front() - u'0'), kBeyondRange);
        sawDigit = true;
        text.remove_prefix(1);
    }

    int firstFractionDigit = 0;
    bool restOfFractionNonZero = false;
    if (!text.empty() && text.front() == u'.') {
        text.remove_prefix(1);
        for (bool first = true; !text.empty() && IsDigit(text.front()); first = false) {
            if (first) {
                firstFractionDigit = text.front() - u'0';
            } else if (text.front() != u'0') {
                restOfFractionNonZero = true;
            }
            sawDigit = true;
            text.remove_prefix(1);
        }
    }
    if (!sawDigit || !text.empty()) {
        return std::nullopt;
    }

    const bool roundsUp = firstFractionDigit > 5 || (firstFractionDigit == 5 &&
                                                     (restOfFractionNonZero || magnitude % 2 == 1));
    if (roundsUp) {
        ++magnitude;
    }

    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    if (magnitude > limit) {
        return std::nullopt;
    }
    const auto signedMagnitude = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -signedMagnitude : signedMagnitude);
}

}  // namespace basics
