// Velmora runs elevated, mostly from wherever the download landed: a DLL left
// in that folder under the name of one that Windows loads by bare name once
// the program runs must not be loaded from there, whether the search alone
// would find it, a manifest left beside the exe names it, or the exe runs on
// a Windows whose kernel32 cannot narrow the search to System32.

#include <fstream>
#include <iterator>
#include <string_view>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr const char* kPlantedFolder = "planted";

// What a manifest beside the exe needs to send the loader to the exe's own
// folder for uxtheme.dll, on a Windows that obeys it.
constexpr std::string_view kPlantedManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <assemblyIdentity type=\"win32\" name=\"Velmora\" version=\"1.0.0.0\"/>\r\n"
    "  <file name=\"uxtheme.dll\"/>\r\n"
    "</assembly>\r\n";

// The call that narrows the search to System32, which Windows XP, Vista and
// 7 without KB2533623 lack. A copy whose lookup of it fails takes the
// fallback, as it does there; Wine 8 has the call whatever version it reports.
constexpr std::string_view kNarrowingCall = "SetDefaultDllDirectories";

struct Planting {
    const char* what;
    bool manifestBeside;
    bool withoutNarrowingCall;
};

void PrintTo(const Planting& planting, std::ostream* out) {
    *out << planting.what;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A copy of Velmora.exe in a folder of its own, with tests\planted.dll beside
// it as uxtheme.dll, which user32 loads for theming once windows are made.
// Wine loads its own builtin DLL of that name wherever another lies, unless
// told to prefer a native one, as Windows, which has only native ones, does:
// so for Velmora.exe alone it is told so while the folder exists.
class PlantedFolder {
public:
    explicit PlantedFolder(const Planting& planting)
        : folder_(BuildFolder() + "\\" + kPlantedFolder) {
        CreateDirectoryA(folder_.c_str(), nullptr);
        DeleteFileA(Mark().c_str());
        std::ifstream in(BuildFolder() + "\\Velmora.exe", std::ios::binary);
        std::string exe(std::istreambuf_iterator<char>(in), {});
        if (planting.withoutNarrowingCall) {
            const std::size_t at = exe.find(kNarrowingCall);
            if (at == std::string::npos || exe.find(kNarrowingCall, at + 1) != std::string::npos) {
                return;  // not exactly one name to alter
            }
            exe[at + kNarrowingCall.size() - 1] = 'X';
        }
        copied_ = !exe.empty() && WriteFile(folder_ + "\\Velmora.exe", exe) &&
                  CopyFileA((BuildFolder() + "\\tests\\planted.dll").c_str(),
                            (folder_ + "\\uxtheme.dll").c_str(), FALSE) &&
                  (!planting.manifestBeside ||
                   WriteFile(folder_ + "\\Velmora.exe.manifest", kPlantedManifest));
        RegSetKeyValueA(HKEY_CURRENT_USER, kOverrides, "uxtheme", REG_SZ, "native,builtin",
                        sizeof "native,builtin");
    }
    ~PlantedFolder() {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kOverrides, "uxtheme");
        for (const char* file :
             {"Velmora.exe", "Velmora.exe.manifest", "uxtheme.dll", "planted-dll-was-loaded"}) {
            DeleteFileA((folder_ + "\\" + file).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    PlantedFolder(const PlantedFolder&) = delete;
    PlantedFolder& operator=(const PlantedFolder&) = delete;

    bool Copied() const { return copied_; }
    // The planted DLL leaves this mark beside itself when it is loaded.
    bool DllWasLoaded() const {
        return GetFileAttributesA(Mark().c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    static constexpr const char* kOverrides =
        "Software\\Wine\\AppDefaults\\Velmora.exe\\DllOverrides";
    std::string Mark() const { return folder_ + "\\planted-dll-was-loaded"; }

    std::string folder_;
    bool copied_ = false;
};

class PlantingTest : public E2eTest, public testing::WithParamInterface<Planting> {};

TEST_P(PlantingTest, LoadsNoDllFromItsOwnFolder) {
    const PlantedFolder planted(GetParam());
    ASSERT_TRUE(planted.Copied());
    VelmoraProcess velmora(std::string(kPlantedFolder) + "\\Velmora.exe");
    const bool running = velmora.WaitForWindow() != nullptr && WaitForStatus(velmora, kGathering);
    EXPECT_FALSE(planted.DllWasLoaded()) << "uxtheme.dll was loaded from Velmora's own folder";
    ASSERT_TRUE(running) << "the window and the first step";
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
}

INSTANTIATE_TEST_SUITE_P(Plantings, PlantingTest,
                         testing::Values(Planting{"DllBeside", false, false},
                                         Planting{"ManifestBesideNamingIt", true, false},
                                         Planting{"WithoutTheNarrowingCall", false, true}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace e2e
