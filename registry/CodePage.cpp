#include "registry/CodePage.h"

#include <climits>

namespace registry {

namespace {

// Both calls alike: first the length that the conversion needs, then the
// conversion into a text of that length. Windows refuses a conversion of
// nothing, which needs no call.
template <typename From, typename To, typename Conversion>
api::Status Convert(std::basic_string_view<From> text, HeapText<To>& out, Conversion convert) {
    HeapText<To> converted;
    if (text.empty()) {
        out = std::move(converted);
        return api::kErrorSuccess;
    }
    if (text.size() > INT_MAX) {
        return api::kErrorNoUnicodeTranslation;
    }
    const int length = static_cast<int>(text.size());
    const int needed = convert(text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return api::kErrorNoUnicodeTranslation;
    }
    if (!converted.Allocate(static_cast<std::size_t>(needed))) {
        return api::kErrorNotEnoughMemory;
    }
    if (convert(text.data(), length, converted.Data(), needed) != needed) {
        return api::kErrorNoUnicodeTranslation;
    }
    out = std::move(converted);
    return api::kErrorSuccess;
}

}  // namespace

api::Status ToAnsi(std::u16string_view text, AnsiText& out) {
    return Convert(text, out, api::WideCharToMultiByte);
}

api::Status FromAnsi(std::string_view bytes, Text& out) {
    return Convert(bytes, out, api::MultiByteToWideChar);
}

}  // namespace registry
