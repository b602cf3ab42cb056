#pragma once

// The program's own texts, on the process heap: 16-bit characters (Text) or
// bytes in the system's ANSI code page (AnsiText). A text may hold NULs, and
// always keeps one more NUL just past its end, where the registry's text calls
// look. Texts move but are never copied, since a copy could fail for want of
// memory where no caller would see it.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "basics/HeapApi.h"

namespace basics {

template <typename Char>
class HeapText {
public:
    HeapText() = default;
    ~HeapText() { api::HeapFree(characters_); }
    HeapText(HeapText&& other) noexcept { Swap(other); }
    HeapText& operator=(HeapText&& other) noexcept {
        Swap(other);
        return *this;
    }
    HeapText(const HeapText&) = delete;
    HeapText& operator=(const HeapText&) = delete;

    // Makes the text `length` NULs, to be filled through Data(). False where
    // memory is short, and the text is then as it was.
    [[nodiscard]] bool Allocate(std::size_t length) {
        if (length >= SIZE_MAX / sizeof(Char)) {
            return false;
        }
        auto* characters = static_cast<Char*>(api::HeapAlloc((length + 1) * sizeof(Char)));
        if (characters == nullptr) {
            return false;
        }
        for (std::size_t i = 0; i <= length; ++i) {
            characters[i] = 0;
        }
        api::HeapFree(characters_);
        characters_ = characters;
        length_ = length;
        return true;
    }

    // A copy of `text`; false where memory is short, as Allocate.
    [[nodiscard]] bool Assign(std::basic_string_view<Char> text) {
        if (!Allocate(text.size())) {
            return false;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            characters_[i] = text[i];
        }
        return true;
    }

    Char* Data() { return characters_; }
    std::size_t Length() const { return length_; }
    std::basic_string_view<Char> View() const { return {CStr(), length_}; }
    // Up to the first NUL; never null.
    const Char* CStr() const {
        static constexpr Char kEmpty[1] = {};
        return characters_ != nullptr ? characters_ : kEmpty;
    }

    bool operator==(const HeapText& other) const { return View() == other.View(); }

private:
    void Swap(HeapText& other) {
        std::swap(characters_, other.characters_);
        std::swap(length_, other.length_);
    }

    Char* characters_ = nullptr;
    std::size_t length_ = 0;
};

using Text = HeapText<char16_t>;
using AnsiText = HeapText<char>;

}  // namespace basics
