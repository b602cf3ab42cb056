#include "basics/CodePage.h"

#include <climits>

#include "basics/CodePageApi.h"

namespace basics {

namespace {

// Both calls alike: first the length that the conversion needs, then the
// conversion into a text of that length. Windows refuses a conversion of
// nothing, which needs no call.
template <typename From, typename To, typename Conversion>
Status Convert(std::basic_string_view<From> text, HeapText<To>& out, Conversion convert) {
    HeapText<To> converted;
    if (text.empty()) {
        out = std::move(converted);
        return kErrorSuccess;
    }
    if (text.size() > INT_MAX) {
        return kErrorNoUnicodeTranslation;
    }
    const int length = static_cast<int>(text.size());
    const int needed = convert(text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return kErrorNoUnicodeTranslation;
    }
    if (!converted.Allocate(static_cast<std::size_t>(needed))) {
        return kErrorNotEnoughMemory;
    }
    if (convert(text.data(), length, converted.Data(), needed) != needed) {
        return kErrorNoUnicodeTranslation;
    }
    out = std::move(converted);
    return kErrorSuccess;
}

}  // namespace

Status ToAnsi(std::u16string_view text, AnsiText& out) {
    return Convert(text, out, api::WideCharToMultiByte);
}

Status FromAnsi(std::string_view bytes, Text& out) {
    return Convert(bytes, out, api::MultiByteToWideChar);
}

}  // namespace basics
