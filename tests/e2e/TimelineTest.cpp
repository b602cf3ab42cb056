// The whole patch in the real Velmora.exe, on the real timer: the status
// texts in their order and on time, what it writes, and that it changes
// nothing else in the registry. It runs on Velmora.exe as Wine reports
// itself, and on copies that Wine tells they run on each Windows that
// Velmora supports: nothing in the exe changes with the version that the
// system reports (Velmora never asks for it). These runs do not show that it
// runs on those Windows, since Wine stays Wine. Each run ends its own way
// once both values are written, and every way gives the code of a patch
// applied, also a WM_QUIT from another program with a code of its own, and
// every window of the process closed by another, the hidden owner first.

#include <iostream>
#include <optional>
#include <string>

#include "tests/e2e/E2eTest.h"
#include "tests/e2e/Wine.h"

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

struct PatchRun {
    const char* what;
    const char* windows;  // the Windows that Wine reports, by Wine's name; nullptr for its own
    const char* version;  // what the copy should see then, as major.minor
    Ending ending;        // how the run is ended at " Update Complete"
};

void PrintTo(const PatchRun& run, std::ostream* out) {
    *out << run.what;
}

// A copy of Velmora.exe, under a name of its own, that Wine tells it runs on
// `windows` (HKCU\Software\Wine\AppDefaults\<name>\Version), for as long as
// the copy exists. Wine reads the setting as a process starts; Velmora.exe
// itself, and every other program, keeps the version that Wine reports.
class CopyOnWindows {
public:
    explicit CopyOnWindows(const char* windows)
        : name_(std::string("Velmora-") + windows + ".exe"),
          version_(name_, "", "Version", windows) {
        copied_ = version_.Set() &&
                  CopyFileA((BuildFolder() + "\\Velmora.exe").c_str(), Path().c_str(), FALSE);
    }
    ~CopyOnWindows() { DeleteFileA(Path().c_str()); }
    CopyOnWindows(const CopyOnWindows&) = delete;
    CopyOnWindows& operator=(const CopyOnWindows&) = delete;

    bool Copied() const { return copied_; }
    const std::string& Name() const { return name_; }

private:
    std::string Path() const { return BuildFolder() + "\\" + name_; }

    std::string name_;
    WineAppSetting version_;
    bool copied_ = false;
};

class PatchTest : public E2eTest, public testing::WithParamInterface<PatchRun> {};

TEST_P(PatchTest, PatchesTheWindows9xPlaceOnTimeAndChangesNothingElse) {
    const PatchRun& run = GetParam();
    std::optional<CopyOnWindows> copy;
    if (run.windows != nullptr) {
        if (!UnderWine()) {
            GTEST_SKIP() << kOnlyUnderWine;
        }
        copy.emplace(run.windows);
        ASSERT_TRUE(copy->Copied());
    }
    const Snapshot before = TakeSnapshot();
    VelmoraProcess velmora(copy ? copy->Name() : "Velmora.exe");
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    const auto appeared = Clock::now();
    const std::string windowsSeen = velmora.WindowsVersionSeen();
    std::cout << "Windows " << windowsSeen << std::endl;
    if (run.version != nullptr) {
        ASSERT_EQ(windowsSeen, run.version) << "Wine reports to the copy the Windows it was set to";
    }

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

    // With no key pressed before, step 2 disabled Cancel under the focus:
    // Enter and Esc press Close, which is enabled now.
    velmora.End(run.ending);
    EXPECT_EQ(velmora.WaitForExit(kAtOnce), kPatchApplied);

    EXPECT_EQ(Differences(before, TakeSnapshot()),
              (std::vector<std::string>{
                  "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FirstInstallDateTime",
                  "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RegisteredOwner"}));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PatchTest,
    testing::Values(PatchRun{"AsWineReports", nullptr, nullptr, Ending::Enter},
                    PatchRun{"OnNt40", "nt40", "4.0", Ending::QuitPostedByAnotherProgram},
                    PatchRun{"OnWindows2000", "win2k", "5.0", Ending::CloseBox},
                    PatchRun{"OnWindowsXp", "winxp", "5.1", Ending::Escape},
                    PatchRun{"OnWindows10", "win10", "10.0", Ending::EveryWindowClosed}),
    [](const auto& info) {
        return std::string(info.param.what) + "_" + EndingName(info.param.ending);
    });

}  // namespace
}  // namespace e2e
