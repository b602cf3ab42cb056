// ReadValue where the registry or the code page fails part way, which only the
// in-memory registry can arrange.

#include <gtest/gtest.h>

#include "registry/Registry.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/support/ScratchKey.h"

namespace {

using fake::FakeRegistry;
using fake::RegistryCall;
using registry::ReadValue;

const RegValue kUntouched = std::u16string(u"untouched");

struct FaultCase {
    const char* what;
    StoredBytes stored;
    void (*arrange)(FakeRegistry&);
    registry::api::Status status;
    RegValue value;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.what;
}

class ReadValueFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(ReadValueFaultTest, AnswersNonZeroWithValueUntouchedOrEmptied) {
    const FaultCase& c = GetParam();
    ScratchKey key;
    key.Store("Stored", c.stored);
    c.arrange(FakeRegistry::Instance());

    RegValue value = kUntouched;
    EXPECT_EQ(ReadValue(key.Handle(), u"Stored", value), c.status);
    EXPECT_EQ(value, c.value);
}

const StoredBytes kText{registry::api::kRegSz, {'B', 'o', 'b', 0}};
const StoredBytes kDword{registry::api::kRegDword, {1, 0, 0, 0}};

const FaultCase kFaultCases[] = {
    {"FirstQueryDenied", kText,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 1, registry::api::kErrorAccessDenied); },
     5, kUntouched},
    // The value grew between the size query and the read.
    {"TextReadFailsAfterSizeQuery", kText,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 2, registry::api::kErrorMoreData); },
     234, RegValue()},
    {"DwordReadFailsAfterSizeQuery", kDword,
     [](FakeRegistry& r) { r.FailCall(RegistryCall::Query, 2, registry::api::kErrorMoreData); },
     234, kUntouched},
    // Raised while the result is still 0: trapped, and never answered as success.
    {"NameConversionRaises", kText, [](FakeRegistry& r) { r.FailConversion(1); },
     registry::api::kErrorNotEnoughMemory, kUntouched},
    {"TextConversionRaises", kText, [](FakeRegistry& r) { r.FailConversion(2); },
     registry::api::kErrorNotEnoughMemory, kUntouched},
};

INSTANTIATE_TEST_SUITE_P(Faults, ReadValueFaultTest, testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(ReadValueFaultTest, KeyOpenedWithoutRightsAnswersFromItsZeroHandle) {
    ScratchKey key;
    FakeRegistry& registry = FakeRegistry::Instance();
    registry.CreateKey("SOFTWARE\\Locked");
    registry.Put("SOFTWARE\\Locked", "Stored", kText.type, kText.bytes);
    registry.DenyAccess("SOFTWARE\\Locked", registry::api::kKeySetValue);

    registry::api::KeyHandle locked = 0xDEAD;
    EXPECT_EQ(registry::api::RegOpenKeyExA(registry::api::kHkeyLocalMachine, "SOFTWARE\\Locked", 0,
                                           registry::api::kKeySpecificAllAccess, &locked),
              registry::api::kErrorAccessDenied);
    EXPECT_EQ(locked, 0u);
    RegValue value = kUntouched;
    EXPECT_EQ(ReadValue(locked, u"Stored", value), registry::api::kErrorInvalidHandle);
    EXPECT_EQ(value, kUntouched);
}

}  // namespace
