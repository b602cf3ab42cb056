#pragma once

// What every end-to-end scenario starts from: both places seeded (a fresh
// Wine prefix already holds values in the Windows 9x place), and helpers that
// watch the real window.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/e2e/RegistrySnapshot.h"
#include "tests/e2e/VelmoraProcess.h"

namespace e2e {

inline constexpr const char* kInitializing = " Initializing";
inline constexpr const char* kGathering = " Gathering Patch Information";
inline constexpr const char* kApplying = " Applying Patch";
inline constexpr const char* kComplete = " Update Complete";

// How soon a run ends once a user or another program ends it.
inline constexpr Milliseconds kAtOnce{2000};

inline constexpr DWORD kPatchApplied = 0;
inline constexpr DWORD kNothingWritten = 1;
inline constexpr DWORD kRegistryFailure = 2;
inline constexpr DWORD kUnexpectedFailure = 3;

// A Windows NT machine that needs the patch: both values in the Windows NT
// place, neither in the Windows 9x place. What the machine held there is put
// back after each test: on a real Windows these are its own values.
class E2eTest : public testing::Test {
protected:
    void SetUp() override {
        for (std::size_t i = 0; i < kPlaces.size(); ++i) {
            machine_[i] = Read(kPlaces[i].place, kPlaces[i].name);
        }
        Seed(kWindowsNtPlace, "InstallDate", kInstallDate);
        Seed(kWindowsNtPlace, "RegisteredOwner", kOwner);
        Seed(kWindows9xPlace, "FirstInstallDateTime", std::nullopt);
        Seed(kWindows9xPlace, "RegisteredOwner", std::nullopt);
    }

    // Seeds the Windows 9x place with both values present, so that the
    // question is asked.
    void SeedPatchNotNeeded() {
        Seed(kWindows9xPlace, "FirstInstallDateTime", Dword(0x12345678));
        Seed(kWindows9xPlace, "RegisteredOwner", Text({"Previous Owner\0", 15}));
    }

    // Waits until Status shows `text`; fails at once if a message box comes
    // first or the program ends.
    static bool WaitForStatus(const VelmoraProcess& velmora, const std::string& text,
                              Milliseconds timeout = kPatience) {
        WaitUntil(
            [&] {
                return velmora.StatusText() == text || velmora.FindMessageBox() ||
                       velmora.HasExited();
            },
            timeout);
        return velmora.StatusText() == text;
    }

    void TearDown() override {
        for (std::size_t i = 0; i < kPlaces.size(); ++i) {
            Seed(kPlaces[i].place, kPlaces[i].name, machine_[i]);
        }
    }

    const StoredBytes kInstallDate = Dword(0x3B9ACA00);
    const StoredBytes kOwner = Text({"Ann Smith\0", 10});

private:
    struct Place {
        const char* place;
        const char* name;
    };
    static constexpr std::array<Place, 4> kPlaces = {{{kWindowsNtPlace, "InstallDate"},
                                                      {kWindowsNtPlace, "RegisteredOwner"},
                                                      {kWindows9xPlace, "FirstInstallDateTime"},
                                                      {kWindows9xPlace, "RegisteredOwner"}}};
    std::array<Value, 4> machine_;
};

}  // namespace e2e
