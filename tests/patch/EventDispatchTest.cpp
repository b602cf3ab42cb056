// The window's event dispatch: activation once, no handler inside another
// while a message box is open, nothing after the end, and failures that no
// handler traps.

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
    // Closing a box, or coming back from another program, activates the
    // window again. An activation that comes while a box is open is not
    // delivered, so it does not count as the form's.
    window.whileMessageBoxOpen = [&] { window.Activate(); };
    window.Events().Tell("a box open at the first activation");
    EXPECT_TRUE(window.Logged("arm").empty());
    EXPECT_TRUE(window.Events().ActivationPending());

    window.Activate();
    EXPECT_FALSE(window.Events().ActivationPending()) << "the window need not tell it again";
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

// Up to the last moment before the second tick, which writes.
TEST_F(PatchTest, CancelBeforeTheSecondTickEndsTheProgramWithNothingWritten) {
    PutTypicalNtValues();
    window.Activate();
    window.AdvanceClock(1300 + 999);
    ASSERT_EQ(window.Form().StepNumber, 1);

    window.Press(Button::Cancel);
    window.AdvanceClock(20000);

    EXPECT_EQ(window.ExitCode(), ExitCode::NothingWritten);
    EXPECT_EQ(window.Form().StepNumber, 1);
    EXPECT_FALSE(AnyWrite());
}

// The window closed, or gone with its hidden owner when another program
// closed that: the program ends, telling by its exit code whether the values
// were written. Gone while one of the program's boxes is open, it ends as
// closing that box would, the question as a No.
struct WindowGoneCase {
    const char* what;
    bool destroyed;  // gone with its owner, not closed
    bool patchNotNeeded;
    bool ntValues;  // without them step 1 tells of a registry failure
    std::uint32_t after;
    bool whileBoxOpen;
    ExitCode code;
};

void PrintTo(const WindowGoneCase& c, std::ostream* out) {
    *out << c.what;
}

class WindowGoneTest : public PatchTest, public testing::WithParamInterface<WindowGoneCase> {};

TEST_P(WindowGoneTest, EndsTheProgramWithWhatWasWritten) {
    const WindowGoneCase& c = GetParam();
    if (c.patchNotNeeded) {
        PutPatchNotNeeded();
        window.AnswerNextQuestion(Answer::Yes);
    } else if (c.ntValues) {
        PutTypicalNtValues();
    }
    const auto goes = [&] { c.destroyed ? window.Destroy() : window.Close(); };
    if (c.whileBoxOpen) {
        window.whileMessageBoxOpen = goes;
    }
    window.Activate();
    window.AdvanceClock(c.after);
    if (!c.whileBoxOpen) {
        goes();
    }
    window.AdvanceClock(20000);

    EXPECT_EQ(window.ExitCode(), c.code);
    ASSERT_FALSE(window.Log().empty());
    EXPECT_EQ(window.Log().back().what, "end " + std::to_string(static_cast<int>(c.code)))
        << "nothing runs after the end";
    EXPECT_EQ(AnyWrite(), c.code == ExitCode::PatchApplied);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, WindowGoneTest,
    testing::Values(WindowGoneCase{"ClosedBeforeTheWrites", false, false, true, 1300 + 999, false,
                                   ExitCode::NothingWritten},
                    WindowGoneCase{"ClosedAfterTheWrites", false, false, true, 1300 + 1000, false,
                                   ExitCode::PatchApplied},
                    WindowGoneCase{"DestroyedAtTheStart", true, false, true, 0, false,
                                   ExitCode::NothingWritten},
                    WindowGoneCase{"DestroyedBeforeTheWrites", true, false, true, 1300 + 999, false,
                                   ExitCode::NothingWritten},
                    WindowGoneCase{"DestroyedAfterTheWrites", true, false, true, 1300 + 1000, false,
                                   ExitCode::PatchApplied},
                    WindowGoneCase{"DestroyedOnceComplete", true, false, true, 1300 + 3000, false,
                                   ExitCode::PatchApplied},
                    WindowGoneCase{"DestroyedWhileTheQuestionIsOpen", true, true, true, 0, true,
                                   ExitCode::NothingWritten},
                    WindowGoneCase{"DestroyedWhileAFailureIsTold", true, false, false, 1300, true,
                                   ExitCode::RegistryFailure}),
    [](const auto& info) { return std::string(info.param.what); });

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

// What the failing window below answers; the dispatch reports it as it is.
constexpr const char* kTimerRefused = "the test's window refused the timer";
constexpr const char* kWindowFailed = "the test's window failed outside any handler";

// A window whose timer the system refuses, when it is armed or set anew.
class RefusingTimerWindow : public fake::FakeWindow {
public:
    bool refuseArm = false;
    bool refuseInterval = false;

    basics::Outcome ArmStepTimer() override {
        return refuseArm ? basics::Failure(kTimerRefused) : FakeWindow::ArmStepTimer();
    }
    basics::Outcome SetStepInterval(std::uint32_t milliseconds) override {
        return refuseInterval ? basics::Failure(kTimerRefused)
                              : FakeWindow::SetStepInterval(milliseconds);
    }
};

struct UntrappedCase {
    const char* what;
    bool refuseArm;
    bool refuseInterval;
    bool windowFails;  // tells the dispatch of a failure of its own, once step 1 has run
    std::int16_t stepReached;
    const char* reason;
};

void PrintTo(const UntrappedCase& c, std::ostream* out) {
    *out << c.what;
}

class UntrappedFailureTest : public PatchTest, public testing::WithParamInterface<UntrappedCase> {};

TEST_P(UntrappedFailureTest, IsReportedAndEndsTheProgramWithNothingAfter) {
    const UntrappedCase& c = GetParam();
    PutTypicalNtValues();
    RefusingTimerWindow broken;
    broken.refuseArm = c.refuseArm;
    broken.refuseInterval = c.refuseInterval;

    broken.Activate();
    broken.AdvanceClock(1300);
    if (c.windowFails) {
        broken.Events().FailedUnexpectedly(basics::Failure(kWindowFailed));
    }
    broken.Press(patch::Button::Cancel);
    broken.Close();
    broken.AdvanceClock(20000);
    broken.Events().FailedUnexpectedly(basics::Failure("a second failure, after the end"));

    EXPECT_EQ(broken.Logged("report"),
              std::vector<std::string>{std::string("Velmora cannot continue and will close.\n\n") +
                                       c.reason});
    EXPECT_EQ(broken.ExitCode(), ExitCode::UnexpectedFailure);
    ASSERT_FALSE(broken.Log().empty());
    EXPECT_EQ(broken.Log().back().what, "end 3") << "nothing runs after the end";
    EXPECT_EQ(broken.Form().StepNumber, c.stepReached);
    EXPECT_FALSE(AnyWrite());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, UntrappedFailureTest,
    testing::Values(UntrappedCase{"TimerRefusedAtActivation", true, false, false, 0, kTimerRefused},
                    UntrappedCase{"TimerRefusedAtTheFirstTick", false, true, false, 0,
                                  kTimerRefused},
                    UntrappedCase{"FailureToldByTheWindow", false, false, true, 1, kWindowFailed}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
