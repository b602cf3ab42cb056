// Velmora runs elevated, mostly from wherever the download landed: a DLL left
// in that folder under the name of one that Windows loads by bare name once
// the program runs must not be loaded from there.

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

constexpr const char* kPlantedFolder = "planted";

// A copy of Velmora.exe in a folder of its own, with tests\planted.dll beside
// it as uxtheme.dll, which user32 loads for theming once windows are made.
// Wine loads its own builtin DLL of that name wherever another lies, unless
// told to prefer a native one, as Windows, which has only native ones, does:
// so for Velmora.exe alone it is told so while the folder exists.
class PlantedFolder {
public:
    PlantedFolder() : folder_(BuildFolder() + "\\" + kPlantedFolder) {
        CreateDirectoryA(folder_.c_str(), nullptr);
        DeleteFileA(Mark().c_str());
        copied_ = CopyFileA((BuildFolder() + "\\Velmora.exe").c_str(),
                            (folder_ + "\\Velmora.exe").c_str(), FALSE) &&
                  CopyFileA((BuildFolder() + "\\tests\\planted.dll").c_str(),
                            (folder_ + "\\uxtheme.dll").c_str(), FALSE);
        RegSetKeyValueA(HKEY_CURRENT_USER, kOverrides, "uxtheme", REG_SZ, "native,builtin",
                        sizeof "native,builtin");
    }
    ~PlantedFolder() {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kOverrides, "uxtheme");
        for (const char* file : {"Velmora.exe", "uxtheme.dll", "planted-dll-was-loaded"}) {
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

TEST_F(E2eTest, LoadsNoDllFromItsOwnFolder) {
    const PlantedFolder planted;
    ASSERT_TRUE(planted.Copied());
    VelmoraProcess velmora(std::string(kPlantedFolder) + "\\Velmora.exe");
    const bool running = velmora.WaitForWindow() != nullptr && WaitForStatus(velmora, kGathering);
    EXPECT_FALSE(planted.DllWasLoaded()) << "uxtheme.dll was loaded from Velmora's own folder";
    ASSERT_TRUE(running) << "the window and the first step";
    VelmoraProcess::Click(velmora.CancelButton());
    EXPECT_EQ(velmora.WaitForExit(), kNothingWritten);
}

}  // namespace
}  // namespace e2e
