// The code page as the program relies on it. In the host build this runs
// against the fake's Windows-1252, in the Windows build against kernel32 in
// Wine's US code page: passing in both keeps the fake honest.

#include "basics/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Through the program's own conversions, which ask the system for the length
// first and then convert into a text of that length.
TEST(CodePageTest, EveryByteSurvivesARoundTrip) {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes += static_cast<char>(byte);
    }
    basics::Text text;
    ASSERT_EQ(basics::FromAnsi(bytes, text), 0);
    ASSERT_EQ(text.Length(), 256u);
    EXPECT_EQ(text.View()[0x80], u'\u20AC');
    EXPECT_EQ(text.View()[0xE9], u'\u00E9');
    EXPECT_EQ(text.CStr()[256], u'\0') << "a NUL just past the end";
    basics::AnsiText back;
    ASSERT_EQ(basics::ToAnsi(text.View(), back), 0);
    EXPECT_EQ(back.View(), bytes);
    ASSERT_EQ(basics::ToAnsi(u"\u4E00x", back), 0);
    EXPECT_EQ(back.View(), "?x");
    ASSERT_EQ(basics::ToAnsi(u"", back), 0);
    EXPECT_EQ(back.View(), "");
}

}  // namespace
