// The start-up question in the real message box, where both values are
// already in the Windows 9x place: No ends the program, and while the box is
// open no step runs, whatever the timer does.

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr const char* kQuestion =
    "This machine does not appear to need this patch.  Do you want to apply it anyway?";

TEST_F(E2eTest, NoToTheQuestionEndsTheProgramWithNothingWritten) {
    SeedPatchNotNeeded();
    const Windows9xValues before = ReadWindows9xValues();
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    const HWND question = velmora.WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(VelmoraProcess::MessageBoxText(question), kQuestion);
    EXPECT_EQ(velmora.StatusText(), kInitializing);

    VelmoraProcess::AnswerMessageBox(question, IDNO);
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
    EXPECT_EQ(ReadWindows9xValues(), before);
}

TEST_F(E2eTest, QuestionHeldOpenLetsNoStepRunAndYesRunsTheSequence) {
    SeedPatchNotNeeded();
    const Windows9xValues before = ReadWindows9xValues();
    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    const HWND question = velmora.WaitForMessageBox();
    ASSERT_NE(question, nullptr);

    // Three ticks fall due while the question is open; none may run a step.
    EXPECT_FALSE(
        WaitUntil([&] { return velmora.StatusText() != kInitializing; }, Milliseconds(4000)));
    EXPECT_EQ(ReadWindows9xValues(), before);

    ASSERT_TRUE(VelmoraProcess::AnswerMessageBox(question, IDYES));
    const auto answered = Clock::now();
    ASSERT_TRUE(WaitForStatus(velmora, kGathering));
    EXPECT_LE(Clock::now() - answered, Milliseconds(1300 + 700))
        << "the first step follows within one interval of the answer";
    ASSERT_TRUE(WaitForStatus(velmora, kComplete));
    EXPECT_EQ(ReadWindows9xValues(), (Windows9xValues{kInstallDate, kOwner}));

    // Esc presses Close once it is enabled.
    velmora.PressKey(VK_ESCAPE);
    EXPECT_EQ(velmora.WaitForExit(), kPatchApplied);
}

}  // namespace
}  // namespace e2e
