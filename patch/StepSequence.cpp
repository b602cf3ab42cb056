// tmrStep_Timer: what each tick does, and its step. Step 1 reads the Windows
// NT values, step 2 writes them into the Windows 9x place, step 3 reports
// completion. When each runs is told in StepInterval.h.

#include <algorithm>

#include "patch/RegistryPlaces.h"
#include "patch/StepInterval.h"
#include "patch/frmPatch.h"
#include "registry/Registry.h"
#include "registry/RegistryKey.h"

namespace patch {

using basics::kErrorSuccess;

namespace {

constexpr std::int16_t kLastStep = 4;

}  // namespace

basics::Outcome frmPatch::tmrStep_Timer() {
    if (basics::Outcome failed =
            services_.SetStepInterval(StepIntervalFor(services_.RandomFraction()))) {
        return failed;
    }
    // A tick that was already queued when the fourth one stopped the timer
    // must not count past the last step.
    StepNumber = std::min<std::int16_t>(StepNumber + 1, kLastStep);
    switch (StepNumber) {
        case 1:
            GatherPatchInformation();
            break;
        case 2:
            return ApplyPatch();
        case 3:
            CompletePatch();
            break;
        default:
            services_.DisarmStepTimer();
            break;
    }
    return std::nullopt;
}

// On a failure the program ends before the key is closed: on Windows the end
// never returns here, and the system releases the key.
void frmPatch::GatherPatchInformation() {
    registry::RegistryKey windowsNtPlace(kWindowsNtPlace);
    if (registry::ReadValue(windowsNtPlace.Handle(), u"InstallDate", SavedInstallDate) !=
            kErrorSuccess ||
        registry::ReadValue(windowsNtPlace.Handle(), u"RegisteredOwner", SavedOwner) !=
            kErrorSuccess) {
        services_.Tell("Cannot access system registry.");
        services_.EndProgram(ExitCode::RegistryFailure);
        return;
    }
    windowsNtPlace.Close();
    services_.SetStatusText(" Gathering Patch Information");
}

// Nothing is undone on a failure: when the owner fails to write, the install
// date stays written. A value that cannot be converted is not trapped here:
// its failure goes up to the top of the program, before anything is written.
basics::Outcome frmPatch::ApplyPatch() {
    services_.SetStatusText(" Applying Patch");
    registry::RegistryKey windows9xPlace(kWindows9xPlace);
    registry::WriteResult written =
        registry::WriteValue(windows9xPlace.Handle(), u"FirstInstallDateTime", SavedInstallDate,
                             registry::api::kRegDword);
    if (!written.failure && written.status == kErrorSuccess) {
        written = registry::WriteValue(windows9xPlace.Handle(), u"RegisteredOwner", SavedOwner,
                                       registry::api::kRegSz);
    }
    if (written.failure) {
        return written.failure;
    }
    if (written.status != kErrorSuccess) {
        services_.Tell("Cannot write to system registry.");
        services_.EndProgram(ExitCode::RegistryFailure);
        return std::nullopt;
    }
    windows9xPlace.Close();
    // From here on the values are written, and Cancel could only mislead.
    services_.EnableButton(Button::Cancel, false);
    return std::nullopt;
}

void frmPatch::CompletePatch() {
    services_.SetStatusText(" Update Complete");
    services_.EnableButton(Button::Close, true);
}

}  // namespace patch
