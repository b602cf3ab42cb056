#pragma once

// The program's only window, as the program sees it: its state and the four
// handlers that its events run. The window itself (controls, timer, message
// boxes) is reached through FormServices. A handler answers the failure that
// it did not trap, if any, for the window's event dispatch to report.

#include <cstdint>

#include "patch/FormServices.h"
#include "registry/RegValue.h"

namespace patch {

class frmPatch {
public:
    explicit frmPatch(FormServices& services) : services_(services) {}
    frmPatch(const frmPatch&) = delete;
    frmPatch& operator=(const frmPatch&) = delete;

    // The start-up check, run once when the window is first activated.
    [[nodiscard]] Outcome Form_Activate();
    // The step sequence, run on every tick of tmrStep.
    [[nodiscard]] Outcome tmrStep_Timer();
    void cmdCancel_Click();
    void cmdClose_Click();

    // Whether step 2 has written both values into the Windows 9x place.
    bool PatchWritten() const { return StepNumber >= 2; }

    // Number of ticks of tmrStep handled so far; never past 4.
    std::int16_t StepNumber = 0;
    // The Windows NT values, read at step 1 and written at step 2.
    RegValue SavedInstallDate;
    RegValue SavedOwner;

private:
    void GatherPatchInformation();
    [[nodiscard]] Outcome ApplyPatch();
    void CompletePatch();

    FormServices& services_;
};

}  // namespace patch
