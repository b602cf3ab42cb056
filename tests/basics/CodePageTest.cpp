// The code page as the program relies on it. In the host build this runs
// against the fake's Windows-1252; in the Windows build against kernel32 in
// the machine's own ANSI code page: Wine's US one (1252) keeps the fake
// honest, and a real Windows in another language checks its own.

#include "basics/CodePage.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>
#include <string_view>

namespace {

unsigned MachineCodePage() {
#ifdef _WIN32
    return GetACP();
#else
    return 1252;  // the fake's
#endif
}

// Bytes and the characters they stand for in a code page, and whether each
// byte is a character of its own there (not so in East Asian ones).
struct CodePageCase {
    unsigned codePage;
    std::string_view bytes;
    std::u16string_view text;
    bool singleByte;
};

constexpr CodePageCase kCases[] = {
    {1252, "\x80\xE9", u"\u20AC\u00E9", true},          // Western European
    {1250, "\xA3\xB9", u"\u0141\u0105", true},          // Central European
    {1251, "\xC0\xFF", u"\u0410\u044F", true},          // Cyrillic
    {932, "\x82\xA0\x88\xEA", u"\u3042\u4E00", false},  // Japanese
};

// Through the program's own conversions, which ask the system for the length
// first and then convert into a text of that length.
TEST(CodePageTest, ConvertsAsTheMachinesCodePage) {
    const unsigned codePage = MachineCodePage();
    const CodePageCase* found = nullptr;
    for (const CodePageCase& c : kCases) {
        found = c.codePage == codePage ? &c : found;
    }
    if (found == nullptr) {
        GTEST_SKIP() << "the machine's ANSI code page is " << codePage
                     << ", for which these tests hold no characters";
    }
    basics::Text text;
    ASSERT_EQ(basics::FromAnsi(found->bytes, text), 0);
    EXPECT_TRUE(text.View() == found->text);
    EXPECT_EQ(text.CStr()[text.Length()], u'\0') << "a NUL just past the end";
    basics::AnsiText back;
    ASSERT_EQ(basics::ToAnsi(found->text, back), 0);
    EXPECT_EQ(back.View(), found->bytes);
    ASSERT_EQ(basics::ToAnsi(u"", back), 0);
    EXPECT_EQ(back.View(), "");
    if (!found->singleByte) {
        return;
    }
    // Every byte of a single-byte code page survives, and a character that it
    // lacks becomes the default one.
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes += static_cast<char>(byte);
    }
    ASSERT_EQ(basics::FromAnsi(bytes, text), 0);
    ASSERT_EQ(text.Length(), 256u);
    ASSERT_EQ(basics::ToAnsi(text.View(), back), 0);
    EXPECT_EQ(back.View(), bytes);
    ASSERT_EQ(basics::ToAnsi(u"\u4E00x", back), 0);
    EXPECT_EQ(back.View(), "?x");
}

}  // namespace
