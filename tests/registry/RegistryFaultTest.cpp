// ReadValue and WriteValue where the registry, the code page or memory fails
// part way, which only the in-memory registry can arrange.

#include <gtest/gtest.h>

#include <string>

#include "registry/Registry.h"
#include "tests/fakes/FakeCodePage.h"
#include "tests/fakes/FakeHeap.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/support/PlainValue.h"
#include "tests/support/ScratchKey.h"
#include "tests/support/Win32Codes.h"

namespace {

using fake::FakeRegistry;
using fake::RegistryCall;
using registry::ReadValue;
using registry::RegValue;
using registry::WriteValue;

const PlainValue kUntouched = std::u16string(u"untouched");

struct FaultCase {
    const char* what;
    StoredBytes stored;
    void (*arrange)(FakeRegistry&);
    registry::api::Status status;
    PlainValue value;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.what;
}

class ReadValueFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(ReadValueFaultTest, AnswersAsTheRegistryLetsIt) {
    const FaultCase& c = GetParam();
    ScratchKey key;
    key.Store("Stored", c.stored);
    RegValue value = FromPlain(kUntouched);
    c.arrange(FakeRegistry::Instance());

    EXPECT_EQ(ReadValue(key.Handle(), u"Stored", value), c.status);
    EXPECT_EQ(Plain(value), c.value);
}

const StoredBytes kText{registry::api::kRegSz, {'B', 'o', 'b', 0}};
const StoredBytes kDword{registry::api::kRegDword, {1, 0, 0, 0}};

const FaultCase kFaultCases[] = {
    {"FirstQueryDenied", kText,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 1, win32::kErrorAccessDenied); },
     win32::kErrorAccessDenied, kUntouched},
    // The value grew between the size query and the read.
    {"TextReadFailsAfterSizeQuery", kText,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 2, win32::kErrorMoreData); },
     win32::kErrorMoreData, std::monostate()},
    {"DwordReadFailsAfterSizeQuery", kDword,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 2, win32::kErrorMoreData); },
     win32::kErrorMoreData, kUntouched},
    // A read that claims more bytes than the buffer of the size query's
    // length holds is taken no further than the buffer.
    {"TextReadOverstatesItsSize", kText, [](FakeRegistry& r) { r.OverstateSize(2, 4096); },
     basics::kErrorSuccess, std::u16string(u"Bob\0", 4)},
};

INSTANTIATE_TEST_SUITE_P(Faults, ReadValueFaultTest, testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(ReadValueFaultTest, KeyOpenedWithoutRightsAnswersFromItsZeroHandle) {
    ScratchKey key;
    FakeRegistry& registry = FakeRegistry::Instance();
    registry.CreateKey("SOFTWARE\\Locked");
    registry.Put("SOFTWARE\\Locked", "Stored", kText.type, kText.bytes);
    registry.DenyAccess("SOFTWARE\\Locked", win32::kKeySetValue);

    registry::api::KeyHandle locked = 0xDEAD;
    EXPECT_EQ(registry::api::RegOpenKeyExA(registry::api::LocalMachine(), "SOFTWARE\\Locked", 0,
                                           registry::api::kKeySpecificAllAccess, &locked),
              win32::kErrorAccessDenied);
    EXPECT_EQ(locked, 0u);
    RegValue value = FromPlain(kUntouched);
    EXPECT_EQ(ReadValue(locked, u"Stored", value), win32::kErrorInvalidHandle);
    EXPECT_EQ(Plain(value), kUntouched);
}

// Memory or the code page failing at each point in turn, wherever it comes:
// ReadValue traps the failure and answers its status, never 0, with the value
// untouched or fully set; WriteValue passes it up as a failure, with nothing
// stored. Each allocation and each conversion of an operation fails in turn,
// until the operation makes fewer than that.
struct SystemFault {
    void (*fail)(int nth);
    bool (*met)();
    basics::Status status;  // what ReadValue answers
    const char* reason;     // what WriteValue passes up
};

const SystemFault kSystemFaults[] = {
    {[](int nth) { fake::FakeCodePage::Instance().RefuseConversion(nth); },
     [] { return fake::FakeCodePage::Instance().Refused().has_value(); },
     basics::kErrorNoUnicodeTranslation,
     "The text cannot be converted to or from the system's code page."},
    {[](int nth) { fake::FakeHeap::Instance().FailAllocation(nth); },
     [] { return fake::FakeHeap::Instance().Failed().has_value(); }, basics::kErrorNotEnoughMemory,
     "There is not enough memory to go on."},
};

// More allocations or conversions than any one operation makes.
constexpr int kBeyondAnyOperation = 20;

// A failure scripted but never met must not wait for the next operation.
void ForgetSystemFaults() {
    fake::FakeCodePage::Instance().Reset();
    fake::FakeHeap::Instance().Reset();
}

class SystemFaultTest : public testing::Test {
protected:
    ~SystemFaultTest() override { ForgetSystemFaults(); }
};

TEST_F(SystemFaultTest, FailingMemoryOrCodePageAnywhereInAReadIsTrapped) {
    const std::pair<StoredBytes, PlainValue> reads[] = {
        {kText, std::u16string(u"Bob\0", 4)},
        {kDword, std::int32_t{1}},
    };
    for (const auto& [stored, read] : reads) {
        for (const SystemFault& fault : kSystemFaults) {
            int nth = 1;
            for (; nth < kBeyondAnyOperation; ++nth) {
                ForgetSystemFaults();
                ScratchKey key;
                key.Store("Stored", stored);
                RegValue value = FromPlain(kUntouched);
                fault.fail(nth);
                const basics::Status status = ReadValue(key.Handle(), u"Stored", value);
                const PlainValue after = Plain(value);
                if (!fault.met()) {
                    EXPECT_EQ(status, 0) << "no failure left to meet at " << nth;
                    EXPECT_EQ(after, read);
                    break;
                }
                EXPECT_EQ(status, fault.status) << "failure " << nth << " of its kind";
                EXPECT_TRUE(after == kUntouched || after == read) << "failure " << nth;
            }
            EXPECT_GT(nth, 1) << "a read of type " << stored.type << " met none of its kind";
            EXPECT_LT(nth, kBeyondAnyOperation)
                << "a read of type " << stored.type << " never ran to its end";
        }
    }
}

TEST_F(SystemFaultTest, FailingMemoryOrCodePageAnywhereInAWriteIsAFailureToPassUp) {
    for (const std::int32_t type : {registry::api::kRegSz, registry::api::kRegDword}) {
        for (const SystemFault& fault : kSystemFaults) {
            int nth = 1;
            for (; nth < kBeyondAnyOperation; ++nth) {
                ForgetSystemFaults();
                ScratchKey key;
                const RegValue value = FromPlain(std::u16string(u"42"));
                fault.fail(nth);
                const registry::WriteResult written =
                    WriteValue(key.Handle(), u"Written", value, type);
                if (!fault.met()) {
                    EXPECT_FALSE(written.failure) << "no failure left to meet at " << nth;
                    EXPECT_NE(key.Fetch("Written"), std::nullopt);
                    break;
                }
                ASSERT_TRUE(written.failure) << "failure " << nth << " of its kind, type " << type;
                EXPECT_STREQ(written.failure->Reason(), fault.reason);
                EXPECT_EQ(key.Fetch("Written"), std::nullopt);
            }
            EXPECT_GT(nth, 1) << "a write as type " << type << " met none of its kind";
            EXPECT_LT(nth, kBeyondAnyOperation)
                << "a write as type " << type << " never ran to its end";
        }
    }
}

}  // namespace
