// Whatever another program left in the Windows NT place, a run ends as
// designed: it copies what can be copied, reports what cannot, never crashes,
// and changes nothing in the registry but the two values it writes.

#include <string>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

struct HostileCase {
    const char* what;
    Value installDate;
    Value owner;
    const char* message;  // the failure message, or nullptr where the patch applies
    DWORD exitCode;
    Windows9xValues written;
};

void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.what;
}

StoredBytes LongOwner() {
    std::string owner(64 * 1024 - 1, 'A');
    owner.push_back('\0');
    return Text(owner);
}

const StoredBytes kDate = Dword(0x3B9ACA00);
const StoredBytes kOwner = Text({"Ann Smith\0", 10});

class HostileValueTest : public E2eTest, public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileValueTest, RunEndsAsDesigned) {
    const HostileCase& c = GetParam();
    Seed(kWindowsNtPlace, "InstallDate", c.installDate);
    Seed(kWindowsNtPlace, "RegisteredOwner", c.owner);
    const Snapshot before = TakeSnapshot();

    VelmoraProcess velmora;
    ASSERT_NE(velmora.WaitForWindow(), nullptr);
    WaitUntil([&] {
        return velmora.FindMessageBox() || velmora.StatusText() == kComplete || velmora.HasExited();
    });
    if (const HWND box = velmora.FindMessageBox()) {
        EXPECT_EQ(VelmoraProcess::MessageBoxText(box), c.message ? c.message : "(no message)");
        VelmoraProcess::AnswerMessageBox(box, IDOK);
    } else {
        EXPECT_EQ(c.message, nullptr) << "the update completed";
        VelmoraProcess::Click(velmora.CloseButton());
    }
    EXPECT_EQ(velmora.WaitForExit(), c.exitCode);
    EXPECT_EQ(ReadWindows9xValues(), c.written);

    std::vector<std::string> expected;
    if (c.written.firstInstallDateTime) {
        expected = {"added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FirstInstallDateTime",
                    "added 32:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RegisteredOwner"};
    }
    EXPECT_EQ(Differences(before, TakeSnapshot()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    WindowsNtPlace, HostileValueTest,
    testing::Values(
        HostileCase{"InstallDateOfEightBytes",
                    StoredBytes{REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}},
                    kOwner,
                    "Cannot access system registry.",
                    kRegistryFailure,
                    {}},
        HostileCase{"InstallDateOfNoBytes",
                    StoredBytes{REG_BINARY, {}},
                    kOwner,
                    nullptr,
                    kPatchApplied,
                    {Dword(0), kOwner}},
        HostileCase{"InstallDateAsMultiSz",
                    StoredBytes{REG_MULTI_SZ, {'1', 0, 0}},
                    kOwner,
                    "Cannot access system registry.",
                    kRegistryFailure,
                    {}},
        HostileCase{
            "OwnerOf64KiB", kDate, LongOwner(), nullptr, kPatchApplied, {kDate, LongOwner()}},
        // The bytes that Windows-1252 leaves unassigned.
        HostileCase{"OwnerOfUnassignedBytes",
                    kDate,
                    StoredBytes{REG_SZ, {0x81, 0x8D, 0x8F, 0x90, 0x9D, 0}},
                    nullptr,
                    kPatchApplied,
                    {kDate, StoredBytes{REG_SZ, {0x81, 0x8D, 0x8F, 0x90, 0x9D, 0}}}},
        // Windows adds the terminator that the stored text lacked.
        HostileCase{"OwnerWithoutTerminator",
                    kDate,
                    Text("Bob"),
                    nullptr,
                    kPatchApplied,
                    {kDate, Text({"Bob\0", 4})}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace e2e
