#include "tests/fakes/FakeCodePage.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace fake {

namespace {

// Windows-1252: bytes below 0x80 and from 0xA0 are the characters of the same
// code; these are the rest. Windows maps the five unassigned bytes to the C1
// controls of the same code, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kCp1252From80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// A conversion asked only for its length (capacity 0) answers it; one whose
// buffer is too small answers 0, as Windows does (ERROR_INSUFFICIENT_BUFFER).
template <typename To, typename Converted>
int Answer(const Converted& converted, To* out, int capacity) {
    const int needed = static_cast<int>(converted.size());
    if (capacity == 0) {
        return needed;
    }
    if (capacity < needed) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), out);
    return needed;
}

}  // namespace

FakeCodePage& FakeCodePage::Instance() {
    static FakeCodePage codePage;
    return codePage;
}

// Characters that Windows-1252 cannot hold become '?', its default character.
int FakeCodePage::ToAnsi(const char16_t* text, int length, char* out, int capacity) {
    if (refusal_.Fails() || length <= 0) {
        return 0;
    }
    std::string bytes;
    for (const char16_t c : std::u16string_view(text, static_cast<std::size_t>(length))) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
            continue;
        }
        const auto found = std::find(kCp1252From80.begin(), kCp1252From80.end(), c);
        bytes += found == kCp1252From80.end()
                     ? '?'
                     : static_cast<char>(0x80 + (found - kCp1252From80.begin()));
    }
    return Answer(bytes, out, capacity);
}

int FakeCodePage::FromAnsi(const char* bytes, int length, char16_t* out, int capacity) {
    if (refusal_.Fails() || length <= 0) {
        return 0;
    }
    std::u16string text;
    for (const char b : std::string_view(bytes, static_cast<std::size_t>(length))) {
        const auto byte = static_cast<unsigned char>(b);
        text += (byte >= 0x80 && byte < 0xA0) ? kCp1252From80[byte - 0x80] : char16_t{byte};
    }
    return Answer(text, out, capacity);
}

}  // namespace fake
