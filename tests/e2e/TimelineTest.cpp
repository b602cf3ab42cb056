// The whole patch in the real Velmora.exe, on the real timer: the status
// texts in their order and on time, what it writes, and that it changes
// nothing else in the registry. The same test runs again under Wine set to
// report each Windows that Velmora supports (tests/CMakeLists.txt).

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

using std::chrono::duration_cast;

// Wine's timers fire a little late, and the driver sees a status a poll
// later still; early they never are by more than a tick of the clock.
constexpr Milliseconds kEarlySlack{20};
constexpr Milliseconds kLateSlack{400};

long long Ms(Clock::duration span) {
    return duration_cast<Milliseconds>(span).count();
}

// The version that Windows reports, as major.minor; RtlGetVersion tells the
// truth where GetVersionEx would answer for an exe without a manifest.
std::string WindowsVersion() {
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto get = reinterpret_cast<RtlGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (get == nullptr || get(&version) != 0) {
        return "unknown";
    }
    return std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion);
}

// Where tests/e2e/with-windows-version.sh runs the test, the Windows that
// Wine was set to report; nothing otherwise.
std::string ExpectedWindowsVersion() {
    static const std::map<std::string, std::string> kVersions = {
        {"nt40", "4.0"}, {"win2k", "5.0"}, {"winxp", "5.1"}, {"win10", "10.0"}};
    const char* name = std::getenv("VELMORA_WINDOWS_VERSION");
    if (name == nullptr) {
        return {};
    }
    const auto found = kVersions.find(name);
    return found == kVersions.end() ? std::string("unknown name ") + name : found->second;
}

TEST_F(E2eTest, PatchesTheWindows9xPlaceOnTimeAndChangesNothingElse) {
    std::cout << "Windows " << WindowsVersion() << std::endl;
    if (const std::string expected = ExpectedWindowsVersion(); !expected.empty()) {
        ASSERT_EQ(WindowsVersion(), expected) << "Wine reports the Windows it was set to";
    }
    const Snapshot before = TakeSnapshot();
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    const auto appeared = Clock::now();

    std::vector<std::string> texts = {velmora.StatusText()};
    std::vector<Clock::time_point> times = {appeared};
    WaitUntil([&] {
        const std::string text = velmora.StatusText();
        if (!text.empty() && text != texts.back()) {
            texts.push_back(text);
            times.push_back(Clock::now());
        }
        return text == kComplete || velmora.FindMessageBox() || velmora.HasExited();
    });
    ASSERT_EQ(texts, (std::vector<std::string>{kInitializing, kGathering, kApplying, kComplete}));
    EXPECT_FALSE(IsWindowEnabled(velmora.CancelButton()));
    EXPECT_TRUE(IsWindowEnabled(velmora.CloseButton()));

    // Step 1 shows its text as it ends, step 2 as it begins: each change
    // marks a tick.
    const Clock::duration firstStep = times[1] - appeared;
    const Clock::duration secondStep = times[2] - times[1];
    const Clock::duration thirdStep = times[3] - times[2];
    std::cout << "timing: first step " << Ms(firstStep) << " ms after the window appeared, then "
              << Ms(secondStep) << " ms and " << Ms(thirdStep) << " ms" << std::endl;
    EXPECT_GE(firstStep, Milliseconds(1300) - kEarlySlack);
    EXPECT_LE(firstStep, Milliseconds(1300) + kLateSlack);
    for (const Clock::duration interval : {secondStep, thirdStep}) {
        EXPECT_GE(interval, Milliseconds(1000) - kEarlySlack);
        EXPECT_LE(interval, Milliseconds(2999) + kLateSlack);
    }

    EXPECT_EQ(ReadWindows9xValues(), (Windows9xValues{kInstallDate, kOwner}));

    // With no key pressed before: step 2 disabled Cancel under the focus, and
    // Enter presses Close once it is enabled.
    velmora.PressKey(VK_RETURN);
    EXPECT_EQ(velmora.WaitForExit(), kPatchApplied);

    EXPECT_EQ(Differences(before, TakeSnapshot()),
              (std::vector<std::string>{
                  "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FirstInstallDateTime",
                  "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RegisteredOwner"}));
}

}  // namespace
}  // namespace e2e
