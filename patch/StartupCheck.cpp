// Form_Activate: sets the step sequence going, then asks whether to go on
// where the Windows 9x place already holds both values.

#include "patch/RegistryPlaces.h"
#include "patch/frmPatch.h"
#include "registry/Registry.h"
#include "registry/RegistryKey.h"

namespace patch {

using basics::kErrorSuccess;

namespace {

constexpr const char* kPatchNotNeededQuestion =
    "This machine does not appear to need this patch.  Do you want to apply it anyway?";

// An integer other than 0 (negative too), or a text of one character or more
// (a lone NUL too, so a text read with its terminator always counts).
bool IsPresent(const registry::RegValue& value) {
    if (const std::int32_t* integer = value.IfInteger()) {
        return *integer != 0;
    }
    if (const basics::Text* text = value.IfText()) {
        return text->Length() > 0;
    }
    return false;
}

}  // namespace

// Registry failures here only mean that a value counts as absent, so no
// status is examined but the one that decides whether to read the owner.
basics::Outcome frmPatch::Form_Activate() {
    if (basics::Outcome failed = services_.ArmStepTimer()) {
        return failed;
    }

    registry::RegValue firstInstallDateTime;
    registry::RegValue registeredOwner;
    registry::RegistryKey windows9xPlace(kWindows9xPlace);
    if (registry::ReadValue(windows9xPlace.Handle(), u"FirstInstallDateTime",
                            firstInstallDateTime) == kErrorSuccess) {
        registry::ReadValue(windows9xPlace.Handle(), u"RegisteredOwner", registeredOwner);
    }
    windows9xPlace.Close();

    if (IsPresent(firstInstallDateTime) && IsPresent(registeredOwner)) {
        if (services_.Ask(kPatchNotNeededQuestion) == Answer::No) {
            services_.EndProgram(ExitCode::NothingWritten);
        }
    }
    return std::nullopt;
}

}  // namespace patch
