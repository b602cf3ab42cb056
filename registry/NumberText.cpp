#include "registry/NumberText.h"

#include <algorithm>
#include <string>

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

std::u16string DecimalText(std::int32_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

std::optional<std::int32_t> ParseWholeNumber(std::u16string_view text) {
    text = TrimBlanks(text.substr(0, text.find(u'\0')));

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
