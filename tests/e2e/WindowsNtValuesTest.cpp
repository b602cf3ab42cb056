// What the real Velmora.exe makes of what another program left in the Windows
// NT place: it copies what can be copied, however long, and reports what
// cannot in the box that each failure has, with the exit code that goes
// with it. How each stored type and size reads is the registry tests' to show
// (tests/registry, which run against Wine's advapi32 too); these are the
// three ends that only the exe itself shows.

#include <string>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

struct ValuesCase {
    const char* what;
    Value installDate;
    Value owner;
    const char* message;  // the start of the box's text, or nullptr where the patch applies
    const char* statusShown;
    DWORD exitCode;
    Windows9xValues written;
};

void PrintTo(const ValuesCase& c, std::ostream* out) {
    *out << c.what;
}

// The largest text that the registry of Windows NT 4.0 takes without a
// warning, copied through the exe's own heap and memory functions.
StoredBytes LongOwner() {
    std::string owner(64 * 1024 - 1, 'A');
    owner.push_back('\0');
    return Text(owner);
}

const StoredBytes kDate = Dword(0x3B9ACA00);
const StoredBytes kOwner = Text({"Ann Smith\0", 10});

class WindowsNtValueTest : public E2eTest, public testing::WithParamInterface<ValuesCase> {};

TEST_P(WindowsNtValueTest, RunEndsAsDesigned) {
    const ValuesCase& c = GetParam();
    Seed(kWindowsNtPlace, "InstallDate", c.installDate);
    Seed(kWindowsNtPlace, "RegisteredOwner", c.owner);

    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    WaitUntil([&] {
        return velmora.FindMessageBox() || velmora.StatusText() == kComplete || velmora.HasExited();
    });
    EXPECT_EQ(velmora.StatusText(), c.statusShown);
    if (const HWND box = velmora.FindMessageBox()) {
        const std::string text = VelmoraProcess::MessageBoxText(box);
        EXPECT_EQ(text.rfind(c.message ? c.message : "(no message)", 0), 0u) << text;
        VelmoraProcess::AnswerMessageBox(box, IDOK);
    } else {
        EXPECT_EQ(c.message, nullptr) << "the update completed";
        VelmoraProcess::Click(velmora.CloseButton());
    }
    EXPECT_EQ(velmora.WaitForExit(), c.exitCode);
    EXPECT_EQ(ReadWindows9xValues(), c.written);
}

INSTANTIATE_TEST_SUITE_P(WindowsNtPlace, WindowsNtValueTest,
                         testing::Values(ValuesCase{"InstallDateMissing",
                                                    std::nullopt,
                                                    kOwner,
                                                    "Cannot access system registry.",
                                                    kInitializing,
                                                    kRegistryFailure,
                                                    {}},
                                         ValuesCase{"InstallDateNoNumber",
                                                    Text({"May 2001\0", 9}),
                                                    kOwner,
                                                    "Velmora cannot continue and will close.",
                                                    kApplying,
                                                    kUnexpectedFailure,
                                                    {}},
                                         ValuesCase{"OwnerOf64KiB",
                                                    kDate,
                                                    LongOwner(),
                                                    nullptr,
                                                    kComplete,
                                                    kPatchApplied,
                                                    {kDate, LongOwner()}}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace e2e
