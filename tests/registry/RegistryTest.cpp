// ReadValue and WriteValue against a registry: the in-memory one in the host
// build, the real advapi32 in the Windows build. The same table runs on both,
// so a difference between the fake and Windows shows up here.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "registry/Registry.h"
#include "tests/support/PlainValue.h"
#include "tests/support/ScratchKey.h"
#include "tests/support/Win32Codes.h"

namespace {

using registry::kUnhandledType;
using registry::ReadValue;
using registry::RegValue;
using registry::WriteValue;
using registry::api::kRegBinary;
using registry::api::kRegDword;
using registry::api::kRegSz;
using win32::kErrorFileNotFound;
using win32::kErrorInvalidHandle;
using win32::kErrorMoreData;
using win32::kRegExpandSz;
using win32::kRegMultiSz;
using win32::kRegNone;
using win32::kRegQword;

using std::u16string;

// What a value holds before a read; a read that must leave it alone keeps it.
const PlainValue kUntouched = std::u16string(u"untouched");

struct ReadCase {
    const char* what;
    StoredBytes stored;
    registry::api::Status status;
    PlainValue value;  // after the read
    // Where the read succeeded: the bytes that writing the value back (as
    // REG_SZ for a text, REG_DWORD for an integer) stores.
    StoredBytes writtenBack;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.what;
}

class ReadValueTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadValueTest, ReadsByStoredTypeAndWritesBackTheSameBytes) {
    const ReadCase& c = GetParam();
    ScratchKey key;
    key.Store("Original", c.stored);

    RegValue value = FromPlain(kUntouched);
    EXPECT_EQ(ReadValue(key.Handle(), u"Original", value), c.status) << c.stored;
    EXPECT_EQ(Plain(value), c.value);
    if (c.status != 0) {
        return;
    }
    const std::int32_t type = value.IfText() ? kRegSz : kRegDword;
    const registry::WriteResult written = WriteValue(key.Handle(), u"Copy", value, type);
    EXPECT_FALSE(written.failure);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(key.Fetch("Copy"), c.writtenBack);
}

const ReadCase kReadCases[] = {
    {"NameWithTerminator",
     {kRegSz, TextBytes({"Bob\0", 4})},
     0,
     u16string(u"Bob\0", 4),
     {kRegSz, TextBytes({"Bob\0", 4})}},
    {"ZeroByteText", {kRegSz, {}}, 0, u16string(), {kRegSz, {}}},
    {"LoneNul", {kRegSz, {0}}, 0, u16string(u"\0", 1), {kRegSz, {0}}},
    // Windows adds the terminator that the stored text lacked.
    {"TextWithoutTerminator",
     {kRegSz, TextBytes("Bob")},
     0,
     u16string(u"Bob"),
     {kRegSz, TextBytes({"Bob\0", 4})}},
    {"EmbeddedNuls",
     {kRegSz, TextBytes({"A\0B\0", 4})},
     0,
     u16string(u"A\0B\0", 4),
     {kRegSz, TextBytes({"A\0B\0", 4})}},
    {"AccentedLetters",
     {kRegSz, {0xC9, 't', 0xE9, 0}},
     0,
     u16string(u"\u00C9t\u00E9\0", 4),
     {kRegSz, {0xC9, 't', 0xE9, 0}}},
    {"Dword",
     {kRegDword, {0x78, 0x56, 0x34, 0x12}},
     0,
     0x12345678,
     {kRegDword, {0x78, 0x56, 0x34, 0x12}}},
    {"NegativeDword",
     {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
     0,
     -1,
     {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
    {"FourByteBinary",
     {kRegBinary, {0x01, 0x02, 0x03, 0x84}},
     0,
     std::int32_t(0x84030201),
     {kRegDword, {0x01, 0x02, 0x03, 0x84}}},
    {"TwoByteBinary", {kRegBinary, {0x34, 0x12}}, 0, 0x1234, {kRegDword, {0x34, 0x12, 0, 0}}},
    {"OneByteBinary", {kRegBinary, {0xFE}}, 0, 0xFE, {kRegDword, {0xFE, 0, 0, 0}}},
    {"ZeroByteBinary", {kRegBinary, {}}, 0, 0, {kRegDword, {0, 0, 0, 0}}},
    {"EightByteBinary", {kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8}}, kErrorMoreData, kUntouched, {}},
    {"FiveByteDword", {kRegDword, {1, 2, 3, 4, 5}}, kErrorMoreData, kUntouched, {}},
    {"MultiSz", {kRegMultiSz, TextBytes({"a\0b\0\0", 5})}, kUnhandledType, kUntouched, {}},
    {"ExpandSz", {kRegExpandSz, TextBytes({"%PATH%\0", 7})}, kUnhandledType, kUntouched, {}},
    {"Qword", {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}}, kUnhandledType, kUntouched, {}},
    {"None", {kRegNone, {}}, kUnhandledType, kUntouched, {}},
};

INSTANTIATE_TEST_SUITE_P(StoredValues, ReadValueTest, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(ReadValueTest, MissingValueAnswersFileNotFoundAndLeavesValue) {
    ScratchKey key;
    RegValue value = FromPlain(kUntouched);
    EXPECT_EQ(ReadValue(key.Handle(), u"Absent", value), kErrorFileNotFound);
    EXPECT_EQ(Plain(value), kUntouched);
}

TEST(ReadValueTest, NamesMatchWithoutRegardToCase) {
    ScratchKey key;
    key.Store("RegisteredOwner", {kRegSz, TextBytes({"Ann\0", 4})});
    RegValue value;
    EXPECT_EQ(ReadValue(key.Handle(), u"REGISTEREDOWNER", value), 0);
    EXPECT_EQ(Plain(value), PlainValue(u16string(u"Ann\0", 4)));
}

TEST(ZeroHandleTest, BothOperationsFailWithInvalidHandleAndStoreNothing) {
    ScratchKey key;
    RegValue value = FromPlain(kUntouched);
    EXPECT_EQ(ReadValue(0, u"Anything", value), kErrorInvalidHandle);
    EXPECT_EQ(Plain(value), kUntouched);
    EXPECT_EQ(WriteValue(0, u"Anything", FromPlain(u16string(u"x")), kRegSz).status,
              kErrorInvalidHandle);
    EXPECT_EQ(WriteValue(0, u"Anything", RegValue(7), kRegDword).status, kErrorInvalidHandle);
}

struct WriteCase {
    const char* what;
    PlainValue value;
    std::int32_t type;
    StoredBytes stored;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.what;
}

class WriteValueTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteValueTest, StoresTheConvertedValue) {
    const WriteCase& c = GetParam();
    ScratchKey key;
    const registry::WriteResult written =
        WriteValue(key.Handle(), u"Written", FromPlain(c.value), c.type);
    EXPECT_FALSE(written.failure);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(key.Fetch("Written"), c.stored);
}

// An integer's digits are stored with the terminator that Windows adds to a
// text whose count left it out.
const WriteCase kWriteCases[] = {
    {"ZeroAsText", 0, kRegSz, {kRegSz, TextBytes({"0\0", 2})}},
    {"NegativeAsText", -5, kRegSz, {kRegSz, TextBytes({"-5\0", 3})}},
    {"LargestAsText", INT_MAX, kRegSz, {kRegSz, TextBytes({"2147483647\0", 11})}},
    {"SmallestAsText", INT_MIN, kRegSz, {kRegSz, TextBytes({"-2147483648\0", 12})}},
    {"LargestText", u16string(u"2147483647"), kRegDword, {kRegDword, {0xFF, 0xFF, 0xFF, 0x7F}}},
    {"SmallestText", u16string(u"-2147483648"), kRegDword, {kRegDword, {0, 0, 0, 0x80}}},
    {"TextReadWithTerminator", u16string(u"1234\0", 5), kRegDword, {kRegDword, {0xD2, 0x04, 0, 0}}},
    {"TextWithBlanks", u16string(u" \t42 "), kRegDword, {kRegDword, {42, 0, 0, 0}}},
    {"FractionRoundsHalfToEven", u16string(u"12.5"), kRegDword, {kRegDword, {12, 0, 0, 0}}},
    {"FractionRoundsHalfToEvenUp", u16string(u"13.5"), kRegDword, {kRegDword, {14, 0, 0, 0}}},
    {"FractionJustBelowTheTop",
     u16string(u"2147483647.49"),
     kRegDword,
     {kRegDword, {0xFF, 0xFF, 0xFF, 0x7F}}},
    {"IntegerAsDword", -2, kRegDword, {kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}}},
};

INSTANTIATE_TEST_SUITE_P(Values, WriteValueTest, testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.what); });

// Not trapped: the failure goes up, and its reason names the text as far as
// it can be shown.
TEST(WriteValueTest, ValueThatCannotBeConvertedAnswersAFailureAndStoresNothing) {
    struct Refused {
        PlainValue value;
        std::int32_t type;
        const char* reason;
    };
    const Refused refused[] = {
        {u16string(u"2147483648"), kRegDword,
         "The text \"2147483648\" is not a whole number from -2147483648 to 2147483647."},
        {u16string(u"-2147483649"), kRegDword, "\"-2147483649\" is not"},
        {u16string(u"2147483647.5"), kRegDword, "\"2147483647.5\" is not"},
        {u16string(u"99999999999"), kRegDword, "\"99999999999\" is not"},
        {u16string(u""), kRegDword, "\"\" is not"},
        {u16string(u"abc"), kRegDword, "\"abc\" is not"},
        {u16string(u"12abc"), kRegDword, "\"12abc\" is not"},
        {u16string(u"1e3"), kRegDword, "\"1e3\" is not"},
        {u16string(u"0x10"), kRegDword, "\"0x10\" is not"},
        {u16string(u"1,000"), kRegDword, "\"1,000\" is not"},
        {u16string(u"-"), kRegDword, "\"-\" is not"},
        {u16string(u"."), kRegDword, "\".\" is not"},
        {u16string(u"May\u00E9\0", 5), kRegDword, "\"May??\" is not"},
        {u16string(50, u'x'), kRegDword, "\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" is not"},
        {std::monostate(), kRegDword, "There is no value to store as a number."},
        {std::monostate(), kRegSz, "There is no value to store as text."},
    };
    ScratchKey key;
    for (const Refused& r : refused) {
        const registry::WriteResult written =
            WriteValue(key.Handle(), u"Written", FromPlain(r.value), r.type);
        ASSERT_TRUE(written.failure) << r.reason;
        EXPECT_NE(std::string(written.failure->Reason()).find(r.reason), std::string::npos)
            << written.failure->Reason();
    }
    EXPECT_EQ(key.Fetch("Written"), std::nullopt);
}

TEST(WriteValueTest, UnhandledTypeAnswersMinusOneWithoutACall) {
    ScratchKey key;
    for (const std::int32_t type : {kRegNone, kRegExpandSz, kRegBinary, kRegMultiSz, kRegQword}) {
        const registry::WriteResult written =
            WriteValue(key.Handle(), u"Written", RegValue(1), type);
        EXPECT_EQ(written.status, kUnhandledType) << "type " << type;
        EXPECT_FALSE(written.failure);
    }
    EXPECT_EQ(key.Fetch("Written"), std::nullopt);
}

}  // namespace
