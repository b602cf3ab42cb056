// The start-up question in the real message box, where both values are
// already in the Windows 9x place: No ends the program, and while the box is
// open no step runs, whatever the timer does.

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr const char* kQuestion =
    "This machine does not appear to need this patch.  Do you want to apply it anyway?";

// Both values already in the Windows 9x place, so that the question comes.
class QuestionTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        SeedPatchNotNeeded();
        before = ReadWindows9xValues();
    }
    // The question's box, once the window and it are up; nullptr if either never is.
    static HWND WaitForQuestion(VelmoraProcess& velmora) {
        return velmora.WaitForWindow() != nullptr ? velmora.WaitForMessageBox() : nullptr;
    }

    Windows9xValues before;
};

TEST_F(QuestionTest, NoEndsTheProgramWithNothingWritten) {
    VelmoraProcess velmora;
    const HWND question = WaitForQuestion(velmora);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(VelmoraProcess::MessageBoxText(question), kQuestion);
    EXPECT_EQ(velmora.StatusText(), kInitializing);

    VelmoraProcess::AnswerMessageBox(question, IDNO);
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
    EXPECT_EQ(ReadWindows9xValues(), before);
}

TEST_F(QuestionTest, HeldOpenLetsNoStepRunAndYesRunsTheSequence) {
    VelmoraProcess velmora;
    const HWND question = WaitForQuestion(velmora);
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
