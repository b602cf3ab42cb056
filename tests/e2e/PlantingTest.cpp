// Velmora runs elevated, mostly from wherever the download landed: a DLL left
// in that folder under the name of one that Windows loads by bare name once
// the program runs must not be loaded from there, whether the search alone
// would find it, a manifest left beside the exe names it, or the exe runs on
// a Windows whose kernel32 cannot narrow the search to System32. And where
// it cannot, a DLL in the system folder under the name of one that the
// running Windows does not ship must not be loaded either: on NT 4.0 every
// user may write there.

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "tests/e2e/E2eTest.h"
#include "tests/e2e/Wine.h"

namespace e2e {
namespace {

constexpr const char* kPlantedFolder = "planted";
constexpr const char* kMarkName = "planted-dll-was-loaded";

// What a manifest beside the exe needs to send the loader to the exe's own
// folder for uxtheme.dll, on a Windows that obeys it.
constexpr std::string_view kPlantedManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <assemblyIdentity type=\"win32\" name=\"Velmora\" version=\"1.0.0.0\"/>\r\n"
    "  <file name=\"uxtheme.dll\"/>\r\n"
    "</assembly>\r\n";

// The call that narrows the search to System32, which Windows NT 4.0 to XP,
// and Vista and 7 without KB2533623, lack. A copy whose lookup of it fails
// takes the fallback, as it does there; Wine 8 has the call whatever version
// it reports.
constexpr std::string_view kNarrowingCall = "SetDefaultDllDirectories";

struct Planting {
    const char* what;
    bool manifestBeside;
    bool withoutNarrowingCall;
    // Planted in the 32-bit system folder under this name, that of a DLL
    // which the Windows below lacks; nullptr: as uxtheme.dll beside the copy.
    const char* inSystemFolder;
    // What Wine tells the copy it runs on, by Wine's name and as major.minor;
    // nullptr for what Wine reports.
    const char* windows;
    const char* version;
};

void PrintTo(const Planting& planting, std::ostream* out) {
    *out << planting.what;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

// A copy of Velmora.exe in a folder of its own, and tests\planted.dll
// planted as the Planting says: beside the copy as uxtheme.dll, which user32
// loads for theming once windows are made, or in the system folder in place
// of a DLL that is put back afterwards. Wine loads its own builtin DLL of
// that name wherever another lies, unless told to prefer a native one, as
// Windows, which has only native ones, does: so for Velmora.exe alone it is
// told so while the DLL is planted.
class PlantedDll {
public:
    explicit PlantedDll(const Planting& planting)
        : folder_(BuildFolder() + "\\" + kPlantedFolder),
          name_(planting.inSystemFolder != nullptr ? planting.inSystemFolder : "uxtheme.dll"),
          dllFolder_(planting.inSystemFolder != nullptr ? SystemFolder() : folder_),
          nativeFirst_("Velmora.exe", "\\DllOverrides", name_.substr(0, name_.size() - 4).c_str(),
                       "native,builtin") {
        if (planting.windows != nullptr) {
            windows_.emplace("Velmora.exe", "", "Version", planting.windows);
        }
        CreateDirectoryA(folder_.c_str(), nullptr);
        DeleteFileA(Mark().c_str());
        std::string exe = ReadFile(BuildFolder() + "\\Velmora.exe");
        if (planting.withoutNarrowingCall) {
            const std::size_t at = exe.find(kNarrowingCall);
            if (at == std::string::npos || exe.find(kNarrowingCall, at + 1) != std::string::npos) {
                return;  // not exactly one name to alter
            }
            exe[at + kNarrowingCall.size() - 1] = 'X';
        }
        if (planting.inSystemFolder != nullptr) {
            original_ = ReadFile(DllPath());
            if (original_.empty() || !WriteFile(folder_ + "\\" + name_ + ".original", original_)) {
                return;
            }
        }
        planted_ =
            !exe.empty() && nativeFirst_.Set() && (!windows_ || windows_->Set()) &&
            WriteFile(folder_ + "\\Velmora.exe", exe) &&
            CopyFileA((BuildFolder() + "\\tests\\planted.dll").c_str(), DllPath().c_str(), FALSE) &&
            (!planting.manifestBeside ||
             WriteFile(folder_ + "\\Velmora.exe.manifest", kPlantedManifest));
    }
    ~PlantedDll() {
        PutBack();
        for (const std::string& file : {std::string("Velmora.exe"), std::string("uxtheme.dll"),
                                        std::string("Velmora.exe.manifest"), name_ + ".original"}) {
            DeleteFileA((folder_ + "\\" + file).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    PlantedDll(const PlantedDll&) = delete;
    PlantedDll& operator=(const PlantedDll&) = delete;

    bool Planted() const { return planted_; }
    // The planted DLL leaves a mark beside itself when it is loaded.
    bool WasLoaded() const { return GetFileAttributesA(Mark().c_str()) != INVALID_FILE_ATTRIBUTES; }
    // Puts the system folder's own DLL back where one was planted there;
    // false unless it then reads as it did.
    bool PutBack() {
        DeleteFileA(Mark().c_str());
        return original_.empty() ||
               (WriteFile(DllPath(), original_) && ReadFile(DllPath()) == original_);
    }

private:
    std::string DllPath() const { return dllFolder_ + "\\" + name_; }
    std::string Mark() const { return dllFolder_ + "\\" + kMarkName; }

    std::string folder_;
    std::string name_;
    std::string dllFolder_;
    WineAppSetting nativeFirst_;
    std::optional<WineAppSetting> windows_;
    std::string original_;
    bool planted_ = false;
};

class PlantingTest : public E2eTest, public testing::WithParamInterface<Planting> {};

TEST_P(PlantingTest, LoadsNoPlantedDll) {
    const Planting& planting = GetParam();
    if ((planting.windows != nullptr || planting.inSystemFolder != nullptr) && !UnderWine()) {
        GTEST_SKIP() << kOnlyUnderWine
                     << "; a Windows whose system folder lacks a DLL is an older Windows itself";
    }
    PlantedDll planted(planting);
    ASSERT_TRUE(planted.Planted());
    VelmoraProcess velmora(std::string(kPlantedFolder) + "\\Velmora.exe");
    const bool running = velmora.WaitForWindow() != nullptr && WaitForStatus(velmora, kGathering);
    EXPECT_FALSE(planted.WasLoaded())
        << (planting.inSystemFolder ? planting.inSystemFolder : "uxtheme.dll")
        << " was loaded from "
        << (planting.inSystemFolder ? "the system folder" : "Velmora's own folder");
    ASSERT_TRUE(running) << "the window and the first step";
    if (planting.version != nullptr) {
        EXPECT_EQ(velmora.WindowsVersionSeen(), planting.version)
            << "the Windows the copy was told";
    }
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
    EXPECT_TRUE(planted.PutBack()) << "the system folder's own DLL is back";
}

// Wine itself loads uxtheme.dll from the system folder into every program
// with windows, as no Windows before XP would: on the copies told NT 4.0 and
// XP, names that Wine loads only when asked stand for the DLLs that those
// Windows lack.
INSTANTIATE_TEST_SUITE_P(
    Plantings, PlantingTest,
    testing::Values(Planting{"DllBeside", false, false, nullptr, nullptr, nullptr},
                    Planting{"ManifestBesideNamingIt", true, false, nullptr, nullptr, nullptr},
                    Planting{"WithoutTheNarrowingCall", false, true, nullptr, nullptr, nullptr},
                    Planting{"InTheSystemFolderOfXp", false, true, "dwmapi.dll", "winxp", "5.1"},
                    Planting{"InTheSystemFolderOfNt40", false, true, "msctf.dll", "nt40", "4.0"}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace e2e
