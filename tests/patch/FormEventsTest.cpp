// The window's event dispatch: activation once, no handler inside another
// while a message box is open, nothing after the end, and failures that no
// handler traps.

#include <stdexcept>

#include "tests/patch/PatchTestSupport.h"

namespace {

using patch::Answer;
using patch::Button;
using patch::ExitCode;

class Windows9xPlaceHoldsBoth : public PatchTest {
protected:
    Windows9xPlaceHoldsBoth() { PutPatchNotNeeded(); }
};

TEST_F(Windows9xPlaceHoldsBoth, ActivationRunsTheStartupCheckOnce) {
    window.AnswerNextQuestion(Answer::Yes);
    window.Activate();
    // Closing the question, or coming back from another program, activates it again.
    window.Activate();
    window.Activate();

    EXPECT_EQ(window.Logged("arm").size(), 1u);
    EXPECT_EQ(window.Logged("ask").size(), 1u);
}

TEST_F(Windows9xPlaceHoldsBoth, NoStepRunsWhileTheQuestionIsOpen) {
    window.AnswerNextQuestion(Answer::Yes);
    std::vector<std::string> statusWhileOpen;
    window.whileMessageBoxOpen = [&] {
        window.AdvanceClock(5000);
        window.Press(Button::Cancel);
        window.Close();
        statusWhileOpen = window.Logged("status");
    };

    window.Activate();

    EXPECT_EQ(window.Logged("tick").size(), 3u) << "ticks fell due at 1300, 2600 and 3900";
    EXPECT_TRUE(statusWhileOpen.empty());
    EXPECT_EQ(window.Form().StepNumber, 0) << "a tick not handled does not count";
    EXPECT_FALSE(window.ExitCode()) << "no button or close is handled while the box is open";

    // The timer kept counting: the next tick, at 5200, runs step 1.
    window.whileMessageBoxOpen = nullptr;
    window.AdvanceClock(199);
    EXPECT_EQ(window.Form().StepNumber, 0);
    window.AdvanceClock(1);
    EXPECT_EQ(window.Form().StepNumber, 1);
    EXPECT_EQ(window.StatusText(), " Gathering Patch Information");
}

TEST_F(PatchTest, CancelEndsTheProgramWithNothingWritten) {
    PutTypicalNtValues();
    window.Activate();
    window.AdvanceClock(1300);
    ASSERT_EQ(window.Form().StepNumber, 1);

    window.Press(Button::Cancel);
    window.AdvanceClock(20000);

    EXPECT_EQ(window.ExitCode(), ExitCode::NothingWritten);
    EXPECT_EQ(window.Form().StepNumber, 1);
    EXPECT_FALSE(AnyWrite());
}

TEST_F(PatchTest, ClosingTheWindowEndsTheProgramAndTellsWhetherTheValuesWereWritten) {
    PutTypicalNtValues();
    window.Activate();
    window.Close();
    EXPECT_EQ(window.ExitCode(), ExitCode::NothingWritten);

    fake::FakeWindow afterWriting;
    afterWriting.Activate();
    afterWriting.AdvanceClock(1300 + 1000);
    ASSERT_EQ(afterWriting.Form().StepNumber, 2);
    afterWriting.Close();
    EXPECT_EQ(afterWriting.ExitCode(), ExitCode::PatchApplied);
}

TEST_F(PatchTest, CloseCanBePressedOnlyOnceTheUpdateIsComplete) {
    PutTypicalNtValues();
    window.Activate();
    window.AdvanceClock(1300 + 1000);
    window.Press(Button::Close);
    EXPECT_FALSE(window.ExitCode());

    window.AdvanceClock(1000);
    ASSERT_EQ(window.StatusText(), " Update Complete");
    window.Press(Button::Close);
    EXPECT_EQ(window.ExitCode(), ExitCode::PatchApplied);
}

// A window whose timer cannot be set: Form_Activate raises past its handler.
class BrokenTimerWindow : public fake::FakeWindow {
public:
    void ArmStepTimer() override { throw std::runtime_error("The step timer cannot be set."); }
};

TEST_F(PatchTest, FailureOutOfAHandlerIsReportedAndEndsTheProgram) {
    BrokenTimerWindow broken;
    broken.Activate();
    broken.Press(patch::Button::Cancel);
    broken.Close();
    broken.AdvanceClock(20000);

    EXPECT_EQ(broken.Logged("report"),
              std::vector<std::string>{
                  "Velmora cannot continue and will close.\n\nThe step timer cannot be set."});
    EXPECT_EQ(broken.ExitCode(), ExitCode::UnexpectedFailure);
    ASSERT_FALSE(broken.Log().empty());
    EXPECT_EQ(broken.Log().back().what, "end 3") << "nothing runs after the end";
}

}  // namespace
