// How every key of the program is opened and closed: under HKEY_LOCAL_MACHINE,
// with options 0 and access 0x3F, and closed exactly once through the handle
// that its open gave, or not at all where the open failed.

#include "registry/RegistryKey.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakeRegistry.h"

namespace {

using fake::FakeRegistry;
using fake::RegistryCall;

struct KeyCase {
    const char* what;
    bool keyExists;
    bool closedEarly;  // Close() before the key goes out of scope
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.what;
}

class RegistryKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(RegistryKeyTest, OpensAsEveryOpenIsMadeAndClosesOnce) {
    const KeyCase& c = GetParam();
    FakeRegistry& registry = FakeRegistry::Instance();
    registry.Reset();
    if (c.keyExists) {
        registry.CreateKey("SOFTWARE\\Place");
    }
    {
        registry::RegistryKey key("SOFTWARE\\Place");
        EXPECT_EQ(key.Handle() != 0, c.keyExists);
        if (c.closedEarly) {
            key.Close();
            EXPECT_EQ(key.Handle(), 0u) << "a closed key has no handle";
        }
    }

    const auto& calls = registry.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].call, RegistryCall::Open);
    EXPECT_EQ(calls[0].options, 0u);
    EXPECT_EQ(calls[0].access, 0x3Fu);
    std::vector<std::string> closed;
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].call, RegistryCall::Close);
        closed.push_back(calls[i].path);
    }
    // A close of a handle that is not open records no path.
    EXPECT_EQ(closed, c.keyExists ? std::vector<std::string>{"software\\place"}
                                  : std::vector<std::string>{});
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
    registry.Reset();
}

INSTANTIATE_TEST_SUITE_P(Keys, RegistryKeyTest,
                         testing::Values(KeyCase{"ClosedWhenItGoesOutOfScope", true, false},
                                         KeyCase{"ClosedEarlyThenOutOfScope", true, true},
                                         KeyCase{"OpenFailed", false, false},
                                         KeyCase{"OpenFailedThenClosed", false, true}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
