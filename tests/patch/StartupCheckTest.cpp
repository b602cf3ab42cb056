// Form_Activate: whether the question is asked for what the Windows 9x place
// holds, and what each answer does.

#include <optional>

#include "tests/patch/PatchTestSupport.h"
#include "tests/support/Win32Codes.h"

namespace {

using fake::RegistryCall;
using patch::Answer;
using patch::ExitCode;
using registry::api::kRegBinary;
using registry::api::kRegDword;
using registry::api::kRegSz;
using win32::kRegMultiSz;

constexpr const char* kQuestion =
    "This machine does not appear to need this patch.  Do you want to apply it anyway?";

struct PresenceCase {
    const char* what;
    std::optional<StoredBytes> firstInstallDateTime;
    std::optional<StoredBytes> registeredOwner;
    bool asked;
    bool ownerRead;
};

void PrintTo(const PresenceCase& c, std::ostream* out) {
    *out << c.what;
}

class PresenceTest : public PatchTest, public testing::WithParamInterface<PresenceCase> {};

TEST_P(PresenceTest, AsksOnlyWhereBothValuesArePresent) {
    const PresenceCase& c = GetParam();
    if (c.firstInstallDateTime) {
        Put9x("FirstInstallDateTime", c.firstInstallDateTime->type, c.firstInstallDateTime->bytes);
    }
    if (c.registeredOwner) {
        Put9x("RegisteredOwner", c.registeredOwner->type, c.registeredOwner->bytes);
    }
    window.AnswerNextQuestion(Answer::Yes);

    window.Activate();

    EXPECT_EQ(window.Logged("ask"),
              c.asked ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
    bool ownerRead = false;
    for (const auto& call : registry.Calls()) {
        ownerRead |= call.call == RegistryCall::Query && call.name == "registeredowner";
    }
    EXPECT_EQ(ownerRead, c.ownerRead);
    EXPECT_EQ(registry.OpenHandleCount(), 0u) << "the key is closed again";
    EXPECT_TRUE(window.StepTimerArmed());
    EXPECT_FALSE(window.ExitCode());
    EXPECT_FALSE(AnyWrite());
}

const StoredBytes kDate{kRegDword, {0x10, 0x32, 0x54, 0x36}};
const StoredBytes kOwner{kRegSz, TextBytes({"Bob\0", 4})};

INSTANTIATE_TEST_SUITE_P(
    Windows9xPlace, PresenceTest,
    testing::Values(
        PresenceCase{"BothPresent", kDate, kOwner, true, true},
        PresenceCase{"NegativeDate", StoredBytes{kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}, kOwner, true,
                     true},
        PresenceCase{"DateAsBinary", StoredBytes{kRegBinary, {0x01, 0x00, 0x00, 0x00}}, kOwner,
                     true, true},
        PresenceCase{"DateAsText", StoredBytes{kRegSz, TextBytes({"0\0", 2})}, kOwner, true, true},
        PresenceCase{"OwnerAsNumber", kDate, StoredBytes{kRegDword, {7, 0, 0, 0}}, true, true},
        PresenceCase{"OwnerIsLoneNul", kDate, StoredBytes{kRegSz, {0}}, true, true},
        PresenceCase{"DateIsZero", StoredBytes{kRegDword, {0, 0, 0, 0}}, kOwner, false, true},
        PresenceCase{"OwnerIsZeroBytes", kDate, StoredBytes{kRegSz, {}}, false, true},
        PresenceCase{"OwnerMissing", kDate, std::nullopt, false, true},
        PresenceCase{"OwnerIsNumberZero", kDate, StoredBytes{kRegDword, {0, 0, 0, 0}}, false, true},
        PresenceCase{"DateMissing", std::nullopt, kOwner, false, false},
        PresenceCase{"DateOfUnhandledType", StoredBytes{kRegMultiSz, TextBytes({"1\0\0", 3})},
                     kOwner, false, false},
        PresenceCase{"DateTooLongForAnInteger", StoredBytes{kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8}},
                     kOwner, false, false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PatchTest, UserWithoutFullAccessIsNotAskedEvenWhereBothExist) {
    PutPatchNotNeeded();
    registry.DenyAccess(patch::kWindows9xPlace, win32::kKeyCreateSubKey);  // a limited user

    window.Activate();

    EXPECT_TRUE(window.Logged("ask").empty());
    EXPECT_TRUE(window.StepTimerArmed());
}

TEST_F(PatchTest, TimerIsArmedBeforeTheQuestion) {
    PutPatchNotNeeded();
    window.AnswerNextQuestion(Answer::Yes);

    window.Activate();

    ASSERT_GE(window.Log().size(), 2u);
    EXPECT_EQ(window.Log()[0].what, "arm 1300");
    EXPECT_EQ(window.Log()[1].what, std::string("ask ") + kQuestion);
}

TEST_F(PatchTest, NoEndsTheProgramBeforeAnyStep) {
    PutPatchNotNeeded();
    window.AnswerNextQuestion(Answer::No);

    window.Activate();
    window.AdvanceClock(20000);

    EXPECT_EQ(window.ExitCode(), ExitCode::NothingWritten);
    EXPECT_TRUE(window.Logged("status").empty());
    EXPECT_EQ(window.Form().StepNumber, 0);
    EXPECT_FALSE(AnyWrite());
}

TEST_F(PatchTest, YesLetsTheSequenceRun) {
    PutPatchNotNeeded();
    window.AnswerNextQuestion(Answer::Yes);

    window.Activate();
    window.AdvanceClock(20000);

    EXPECT_FALSE(window.ExitCode());
    EXPECT_EQ(window.StatusText(), " Update Complete");
    EXPECT_EQ(window.Form().StepNumber, 4);
}

}  // namespace
