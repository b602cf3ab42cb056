// Integers as texts and back: which texts read as which numbers, at the
// edges of the range and of rounding, and the digits a number is written as.

#include "basics/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using basics::DecimalText;
using basics::ParseWholeNumber;

struct ParseCase {
    std::u16string text;
    std::optional<std::int32_t> number;
};

class ParseWholeNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseWholeNumberTest, ReadsTheNumberOrRefuses) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseWholeNumber(c.text), c.number)
        << "text of " << c.text.size() << " characters starting '" << char(c.text[0]) << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseWholeNumberTest,
    testing::Values(
        // The edges of the 32-bit range and just past them.
        ParseCase{u"2147483647", INT_MAX}, ParseCase{u"2147483648", std::nullopt},
        ParseCase{u"-2147483648", INT_MIN}, ParseCase{u"-2147483649", std::nullopt},
        ParseCase{u"4294967296", std::nullopt}, ParseCase{u"18446744073709551617", std::nullopt},
        ParseCase{u"00000000000000000000000012", 12}, ParseCase{u"-0", 0}, ParseCase{u"+5", 5},
        // Rounding half to even, at the edges too.
        ParseCase{u"0.5", 0}, ParseCase{u"1.5", 2}, ParseCase{u"-2.5", -2}, ParseCase{u"-3.5", -4},
        ParseCase{u"0.5000001", 1}, ParseCase{u"2.49999", 2}, ParseCase{u".5", 0},
        ParseCase{u"7.", 7}, ParseCase{u"2147483646.5", 2147483646},
        ParseCase{u"2147483647.5", std::nullopt}, ParseCase{u"-2147483648.5", INT_MIN},
        ParseCase{u"-2147483648.51", std::nullopt},
        // The text ends at its first NUL, as a REG_SZ does.
        ParseCase{std::u16string(u"42\0", 3), 42}, ParseCase{std::u16string(u"42\0x", 4), 42},
        ParseCase{std::u16string(u"\0", 1), std::nullopt}, ParseCase{u" \t-17\t ", -17},
        ParseCase{u" 12", 12},
        // Not numbers here.
        ParseCase{u"", std::nullopt}, ParseCase{u" ", std::nullopt}, ParseCase{u"-", std::nullopt},
        ParseCase{u".", std::nullopt}, ParseCase{u"--1", std::nullopt},
        ParseCase{u"- 1", std::nullopt}, ParseCase{u"1 2", std::nullopt},
        ParseCase{u"1e3", std::nullopt}, ParseCase{u"&H10", std::nullopt},
        ParseCase{u"1,000", std::nullopt}, ParseCase{u"1.2.3", std::nullopt},
        ParseCase{u"\uFF11", std::nullopt}, ParseCase{u"\u0661", std::nullopt}));

TEST(DecimalTextTest, WritesDigitsWithMinusSign) {
    EXPECT_EQ(DecimalText(0).View(), u"0");
    EXPECT_EQ(DecimalText(-1).View(), u"-1");
    EXPECT_EQ(DecimalText(INT_MIN).View(), u"-2147483648");
    EXPECT_EQ(DecimalText(INT_MAX).View(), u"2147483647");
    EXPECT_EQ(DecimalText(1000000000).View(), u"1000000000");
}

}  // namespace
