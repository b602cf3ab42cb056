// The step sequence in the real Velmora.exe: what it writes, when, and how
// each failure ends it.

#include <iostream>
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

TEST_F(E2eTest, PatchesTheWindows9xPlaceOnTimeAndChangesNothingElse) {
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

    // Esc presses Close once it is enabled.
    velmora.PressKey(VK_ESCAPE);
    EXPECT_EQ(velmora.WaitForExit(), kPatchApplied);

    EXPECT_EQ(Differences(before, TakeSnapshot()),
              (std::vector<std::string>{
                  "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FirstInstallDateTime",
                  "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RegisteredOwner"}));
}

TEST_F(E2eTest, CancelBeforeTheSecondTickWritesNothing) {
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    ASSERT_TRUE(WaitForStatus(velmora, kGathering));
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
    EXPECT_EQ(ReadWindows9xValues(), Windows9xValues{});
}

struct FailureCase {
    const char* what;
    Value installDate;
    const char* message;  // the box's whole text, or its start for a reported failure
    const char* statusShown;
    DWORD exitCode;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.what;
}

class FailureTest : public E2eTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, IsReportedAndEndsTheProgramWithNothingWritten) {
    const FailureCase& c = GetParam();
    Seed(kWindowsNtPlace, "InstallDate", c.installDate);
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);

    const HWND box = velmora.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(VelmoraProcess::MessageBoxText(box).rfind(c.message, 0), 0u)
        << VelmoraProcess::MessageBoxText(box);
    EXPECT_EQ(velmora.StatusText(), c.statusShown);
    VelmoraProcess::AnswerMessageBox(box, IDOK);
    EXPECT_EQ(velmora.WaitForExit(), c.exitCode);
    EXPECT_EQ(ReadWindows9xValues(), Windows9xValues{});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailureTest,
    testing::Values(FailureCase{"InstallDateMissing", std::nullopt,
                                "Cannot access system registry.", kInitializing, kRegistryFailure},
                    FailureCase{"InstallDateOfUnhandledType",
                                StoredBytes{REG_MULTI_SZ, {'1', 0, 0}},
                                "Cannot access system registry.", kInitializing, kRegistryFailure},
                    FailureCase{"InstallDateNoNumber", Text({"May 2001\0", 9}),
                                "Velmora cannot continue and will close.", kApplying,
                                kUnexpectedFailure}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace e2e
