// ReadValue and WriteValue where the registry, the code page or memory fails
// part way, which only the in-memory registry can arrange.

#include <gtest/gtest.h>

#include <string>

#include "registry/Registry.h"
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

TEST_P(ReadValueFaultTest, AnswersNonZeroWithValueUntouchedOrEmptied) {
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
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 1, win32::kErrorAccessDenied); }, 5,
     kUntouched},
    // The value grew between the size query and the read.
    {"TextReadFailsAfterSizeQuery", kText,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 2, win32::kErrorMoreData); }, 234,
     std::monostate()},
    {"DwordReadFailsAfterSizeQuery", kDword,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 2, win32::kErrorMoreData); }, 234,
     kUntouched},
    // Trapped while the result is still 0, and never answered as success. A
    // conversion asks the system for the length, takes memory, then converts:
    // first the name, then, for a text, its data once it has been read.
    {"NameConversionRefused", kText, [](FakeRegistry& r) { r.FailConversion(1); },
     basics::kErrorNoUnicodeTranslation, kUntouched},
    {"NoMemoryForTheName", kText, [](FakeRegistry& r) { r.FailAllocation(1); },
     basics::kErrorNotEnoughMemory, kUntouched},
    {"NoMemoryForTheTextsBytes", kText, [](FakeRegistry& r) { r.FailAllocation(2); },
     basics::kErrorNotEnoughMemory, kUntouched},
    {"TextConversionRefused", kText, [](FakeRegistry& r) { r.FailConversion(3); },
     basics::kErrorNoUnicodeTranslation, kUntouched},
    {"NoMemoryForTheText", kText, [](FakeRegistry& r) { r.FailAllocation(3); },
     basics::kErrorNotEnoughMemory, kUntouched},
    {"TextConversionCutShort", kText, [](FakeRegistry& r) { r.FailConversion(4); },
     basics::kErrorNoUnicodeTranslation, kUntouched},
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

// WriteValue traps none of these: each is a failure to pass up, and nothing is
// stored. The text is converted first, then the name.
TEST(WriteValueFaultTest, FailedConversionIsAFailureToPassUp) {
    struct Fault {
        void (*arrange)(FakeRegistry&);
        std::int32_t type;
        const char* reason;
    };
    const Fault faults[] = {
        {[](FakeRegistry& r) { r.FailConversion(1); }, registry::api::kRegSz,
         "The text cannot be converted to or from the system's code page."},
        {[](FakeRegistry& r) { r.FailAllocation(1); }, registry::api::kRegSz,
         "There is not enough memory to go on."},
        {[](FakeRegistry& r) { r.FailConversion(3); }, registry::api::kRegSz,
         "The text cannot be converted to or from the system's code page."},
        {[](FakeRegistry& r) { r.FailConversion(1); }, registry::api::kRegDword,
         "The text cannot be converted to or from the system's code page."},
        {[](FakeRegistry& r) { r.FailAllocation(1); }, registry::api::kRegDword,
         "There is not enough memory to go on."},
    };
    for (const Fault& fault : faults) {
        ScratchKey key;
        const RegValue value = FromPlain(std::u16string(u"42"));
        fault.arrange(FakeRegistry::Instance());
        const registry::WriteResult written =
            WriteValue(key.Handle(), u"Written", value, fault.type);
        ASSERT_TRUE(written.failure) << fault.reason;
        EXPECT_STREQ(written.failure->Reason(), fault.reason);
        EXPECT_EQ(key.Fetch("Written"), std::nullopt);
    }
}

}  // namespace
