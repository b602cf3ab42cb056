#pragma once

// Shared set-up for the host tests of frmPatch: a clean in-memory registry
// holding both places, and a fake window on a manual clock.

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "patch/RegistryPlaces.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeWindow.h"

class PatchTest : public testing::Test {
protected:
    PatchTest() {
        registry.Reset();
        registry.CreateKey(patch::kWindowsNtPlace);
        registry.CreateKey(patch::kWindows9xPlace);
    }
    ~PatchTest() override { registry.Reset(); }

    void PutNt(std::string_view name, std::int32_t type, std::vector<std::uint8_t> bytes) {
        registry.Put(patch::kWindowsNtPlace, name, type, std::move(bytes));
    }
    void Put9x(std::string_view name, std::int32_t type, std::vector<std::uint8_t> bytes) {
        registry.Put(patch::kWindows9xPlace, name, type, std::move(bytes));
    }
    std::optional<StoredBytes> Get9x(std::string_view name) const {
        return registry.Get(patch::kWindows9xPlace, name);
    }
    // A typical Windows NT machine: both values in the Windows NT place, none in
    // the Windows 9x place.
    void PutTypicalNtValues() {
        PutNt("InstallDate", registry::api::kRegDword, {0x10, 0x32, 0x54, 0x36});
        PutNt("RegisteredOwner", registry::api::kRegSz, TextBytes({"Ann Smith\0", 10}));
    }
    // A machine that does not appear to need the patch: both values present
    // in the Windows 9x place too, so the question is asked.
    void PutPatchNotNeeded() {
        PutTypicalNtValues();
        Put9x("FirstInstallDateTime", registry::api::kRegDword, {1, 0, 0, 0});
        Put9x("RegisteredOwner", registry::api::kRegSz, TextBytes({"Bob\0", 4}));
    }
    bool AnyWrite() const {
        for (const auto& call : registry.Calls()) {
            if (call.call == fake::RegistryCall::Set) {
                return true;
            }
        }
        return false;
    }

    fake::FakeRegistry& registry = fake::FakeRegistry::Instance();
    fake::FakeWindow window;
};
