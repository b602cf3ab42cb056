// Which DLLs Velmora loads from the system folder where it cannot narrow the
// DLL search, by what GetVersion answers on each Windows that can take that
// path: never one that the Windows lacks, since a file of that name in its
// system folder was put there by someone.

#include "platform/SystemDlls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Windows {
    const char* what;
    std::uint32_t getVersion;  // GetVersion's answer there: build, minor, major
    std::vector<std::string> loaded;
};

void PrintTo(const Windows& windows, std::ostream* out) {
    *out << windows.what;
}

class SystemDllsTest : public testing::TestWithParam<Windows> {};

TEST_P(SystemDllsTest, LoadsOnlyWhatThatWindowsShips) {
    std::vector<std::string> loaded;
    platform::ForEachShippedDll(platform::FromGetVersion(GetParam().getVersion),
                                [&](const char* name) { loaded.emplace_back(name); });
    EXPECT_EQ(loaded, GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SystemDllsTest,
    testing::Values(Windows{"Nt40", 0x05650004, {}}, Windows{"Windows2000", 0x08930005, {}},
                    Windows{"WindowsXp", 0x0A280105, {"uxtheme.dll", "msctf.dll"}},
                    Windows{"Server2003", 0x0ECE0205, {"uxtheme.dll", "msctf.dll"}},
                    Windows{"Vista", 0x17700006, {"uxtheme.dll", "dwmapi.dll", "msctf.dll"}},
                    Windows{"Windows7", 0x1DB00106, {"uxtheme.dll", "dwmapi.dll", "msctf.dll"}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
