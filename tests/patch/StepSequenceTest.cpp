// tmrStep_Timer: the timeline, what is copied, and what each registry failure
// does.

#include <cmath>

#include "tests/patch/PatchTestSupport.h"
#include "tests/support/Win32Codes.h"

namespace {

using fake::RegistryCall;
using patch::Button;
using patch::ExitCode;
using registry::api::kRegBinary;
using registry::api::kRegDword;
using registry::api::kRegSz;
using win32::kRegMultiSz;

const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);

TEST_F(PatchTest, TimelineFollowsTheIntervalDrawnAtTheTickBefore) {
    PutTypicalNtValues();
    window.GiveFractions({0.0f, 0.5f, kLargestBelowOne, 0.25f});

    window.Activate();
    window.AdvanceClock(60000);

    const std::vector<fake::FakeWindow::Event> expected = {
        {0, "arm 1300"},
        {1300, "tick"},
        {1300, "interval 1000"},
        {1300, "status  Gathering Patch Information"},
        {2300, "tick"},
        {2300, "interval 2000"},
        {2300, "status  Applying Patch"},
        {2300, "disable cmdCancel"},
        {4300, "tick"},
        {4300, "interval 2999"},
        {4300, "status  Update Complete"},
        {4300, "enable cmdClose"},
        {7299, "tick"},
        {7299, "interval 1500"},
        {7299, "disarm"},
    };
    EXPECT_EQ(window.Log(), expected);
    EXPECT_EQ(window.Form().StepNumber, 4);
    EXPECT_FALSE(window.ExitCode());
}

TEST_F(PatchTest, CopiesBothValuesAndNothingElse) {
    PutTypicalNtValues();
    window.Activate();
    window.AdvanceClock(1300 + 1000);

    EXPECT_EQ(Get9x("FirstInstallDateTime"), (StoredBytes{kRegDword, {0x10, 0x32, 0x54, 0x36}}));
    EXPECT_EQ(Get9x("RegisteredOwner"), (StoredBytes{kRegSz, TextBytes({"Ann Smith\0", 10})}));

    std::vector<std::string> writes;
    for (const auto& call : registry.Calls()) {
        if (call.call == RegistryCall::Set) {
            writes.push_back(call.path + "\\" + call.name);
        }
    }
    EXPECT_EQ(writes, (std::vector<std::string>{
                          "software\\microsoft\\windows\\currentversion\\firstinstalldatetime",
                          "software\\microsoft\\windows\\currentversion\\registeredowner"}));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
    EXPECT_FALSE(window.IsEnabled(Button::Cancel));
    EXPECT_FALSE(window.IsEnabled(Button::Close));
}

struct CopyCase {
    const char* what;
    StoredBytes installDate;
    StoredBytes owner;
    StoredBytes firstInstallDateTime;  // as written
    StoredBytes registeredOwner;       // as written
};

void PrintTo(const CopyCase& c, std::ostream* out) {
    *out << c.what;
}

class CopyTest : public PatchTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(CopyTest, WritesTheConvertedValues) {
    const CopyCase& c = GetParam();
    PutNt("InstallDate", c.installDate.type, c.installDate.bytes);
    PutNt("RegisteredOwner", c.owner.type, c.owner.bytes);
    window.Activate();
    window.AdvanceClock(1300 + 1000);

    EXPECT_EQ(Get9x("FirstInstallDateTime"), c.firstInstallDateTime);
    EXPECT_EQ(Get9x("RegisteredOwner"), c.registeredOwner);
    EXPECT_FALSE(window.ExitCode());
}

const StoredBytes kOwner{kRegSz, TextBytes({"Bob\0", 4})};

INSTANTIATE_TEST_SUITE_P(
    Conversions, CopyTest,
    testing::Values(
        CopyCase{"DateAsFourByteBinary",
                 {kRegBinary, {1, 2, 3, 4}},
                 kOwner,
                 {kRegDword, {1, 2, 3, 4}},
                 kOwner},
        CopyCase{"DateAsTwoByteBinary",
                 {kRegBinary, {0xCD, 0xAB}},
                 kOwner,
                 {kRegDword, {0xCD, 0xAB, 0, 0}},
                 kOwner},
        // Unfilled bytes stay 0.
        CopyCase{"DateOfNoBytes", {kRegBinary, {}}, kOwner, {kRegDword, {0, 0, 0, 0}}, kOwner},
        CopyCase{"DateAsNumberText",
                 {kRegSz, TextBytes({"-1234567\0", 9})},
                 kOwner,
                 {kRegDword, {0x79, 0x29, 0xED, 0xFF}},
                 kOwner},
        // The digits go to RegSetValueExA without their terminator; the system adds it.
        CopyCase{"OwnerAsDword",
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegDword, {0x2A, 0, 0, 0}},
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, TextBytes({"42\0", 3})}},
        CopyCase{"OwnerWithoutTerminator",
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, TextBytes("Bob")},
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, TextBytes({"Bob\0", 4})}},
        CopyCase{"OwnerOfZeroBytes",
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, {}},
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, {}}},
        CopyCase{"OwnerWithAccents",
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, {0xC9, 0x80, 0x81, 0}},
                 {kRegDword, {1, 0, 0, 0}},
                 {kRegSz, {0xC9, 0x80, 0x81, 0}}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PatchTest, InstallDateThatIsNoNumberEndsTheProgramBeforeAnythingIsWritten) {
    PutNt("InstallDate", kRegSz, TextBytes({"20 May 2001\0", 12}));
    PutNt("RegisteredOwner", kRegSz, TextBytes({"Bob\0", 4}));
    window.whileMessageBoxOpen = [&] { window.AdvanceClock(10000); };

    window.Activate();
    window.AdvanceClock(1300 + 1000);
    window.AdvanceClock(20000);

    EXPECT_EQ(window.Logged("status"),
              (std::vector<std::string>{" Gathering Patch Information", " Applying Patch"}));
    ASSERT_EQ(window.Logged("report").size(), 1u);
    EXPECT_NE(window.Logged("report")[0].find("\"20 May 2001?\" is not a whole number"),
              std::string::npos)
        << window.Logged("report")[0];
    EXPECT_EQ(window.ExitCode(), ExitCode::UnexpectedFailure);
    EXPECT_EQ(window.Form().StepNumber, 2) << "no tick is handled while the report is open";
    EXPECT_EQ(window.Log().back().what, "end 3");
    EXPECT_FALSE(AnyWrite());
}

struct FailureCase {
    const char* what;
    RegistryCall call;
    int nth;  // counted from the start of the run, the start-up check's reads included
    const char* message;
    bool dateWritten;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.what;
}

class RegistryFailureTest : public PatchTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(RegistryFailureTest, ToldAndTheProgramEndsWithNothingAfter) {
    const FailureCase& c = GetParam();
    PutTypicalNtValues();
    registry.FailCall(c.call, c.nth, win32::kErrorAccessDenied);

    window.Activate();
    window.AdvanceClock(60000);

    EXPECT_EQ(window.Logged("tell"), std::vector<std::string>{c.message});
    EXPECT_EQ(window.ExitCode(), ExitCode::RegistryFailure);
    EXPECT_EQ(window.Log().back().what, "end 2");
    EXPECT_EQ(Get9x("FirstInstallDateTime").has_value(), c.dateWritten);
    EXPECT_FALSE(Get9x("RegisteredOwner").has_value());
    EXPECT_TRUE(window.IsEnabled(Button::Cancel)) << "Cancel is disabled only after both writes";
}

// The start-up check makes one query (FirstInstallDateTime is missing); step 1
// makes two for each value, the size query and the read.
INSTANTIATE_TEST_SUITE_P(EachCall, RegistryFailureTest,
                         testing::Values(FailureCase{"InstallDateSizeQuery", RegistryCall::Query, 2,
                                                     "Cannot access system registry.", false},
                                         FailureCase{"InstallDateRead", RegistryCall::Query, 3,
                                                     "Cannot access system registry.", false},
                                         FailureCase{"OwnerSizeQuery", RegistryCall::Query, 4,
                                                     "Cannot access system registry.", false},
                                         FailureCase{"OwnerRead", RegistryCall::Query, 5,
                                                     "Cannot access system registry.", false},
                                         FailureCase{"WindowsNtPlaceOpen", RegistryCall::Open, 2,
                                                     "Cannot access system registry.", false},
                                         FailureCase{"DateWrite", RegistryCall::Set, 1,
                                                     "Cannot write to system registry.", false},
                                         FailureCase{"OwnerWrite", RegistryCall::Set, 2,
                                                     "Cannot write to system registry.", true},
                                         FailureCase{"Windows9xPlaceOpen", RegistryCall::Open, 3,
                                                     "Cannot write to system registry.", false}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(PatchTest, UnreadableInstallDateIsAnAccessFailure) {
    PutNt("InstallDate", kRegMultiSz, TextBytes({"1\0\0", 3}));
    PutNt("RegisteredOwner", kRegSz, TextBytes({"Bob\0", 4}));
    window.Activate();
    window.AdvanceClock(1300);
    EXPECT_EQ(window.Logged("tell"), std::vector<std::string>{"Cannot access system registry."});
    EXPECT_EQ(window.StatusText(), " Initializing");
}

// Every open asks for access 0x3F, also to read (registry/RegistryApi.h says why).
TEST_F(PatchTest, UserWithoutFullAccessCannotEvenReadTheWindowsNtPlace) {
    PutTypicalNtValues();
    registry.DenyAccess(patch::kWindowsNtPlace, win32::kKeyCreateLink);
    window.Activate();
    window.AdvanceClock(1300);
    EXPECT_EQ(window.Logged("tell"), std::vector<std::string>{"Cannot access system registry."});
}

}  // namespace
