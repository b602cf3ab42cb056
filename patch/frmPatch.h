#pragma once

// The program's only window, as the program sees it: its state and the four
// handlers that its events run, each in a file of its own named for what it
// does. The window itself (controls, timer, message boxes) is reached through
// FormServices, and its events arrive through EventDispatch, which runs these
// handlers one at a time. A handler answers the failure that it did not trap,
// if any, for the dispatch to report.

#include <cstdint>

#include "basics/Failure.h"
#include "patch/FormServices.h"
#include "registry/RegValue.h"

namespace patch {

class frmPatch {
public:
    explicit frmPatch(FormServices& services) : services_(services) {}
    frmPatch(const frmPatch&) = delete;
    frmPatch& operator=(const frmPatch&) = delete;

    // In the order of the window's life:
    // The start-up check, run once when the window is first activated: arms
    // tmrStep and asks whether to go on where the patch seems not needed.
    // (StartupCheck.cpp)
    [[nodiscard]] basics::Outcome Form_Activate();
    // The step sequence, run on every tick of tmrStep. (StepSequence.cpp;
    // when each step runs is told in StepInterval.h)
    [[nodiscard]] basics::Outcome tmrStep_Timer();
    // The two buttons, each of which ends the program. (frmPatch.cpp)
    void cmdCancel_Click();
    void cmdClose_Click();

    // Whether step 2 has written both values into the Windows 9x place.
    bool PatchWritten() const { return StepNumber >= 2; }

    // Number of ticks of tmrStep handled so far; never past 4.
    std::int16_t StepNumber = 0;
    // The Windows NT values, read at step 1 and written at step 2.
    registry::RegValue SavedInstallDate;
    registry::RegValue SavedOwner;

private:
    void GatherPatchInformation();
    [[nodiscard]] basics::Outcome ApplyPatch();
    void CompletePatch();

    FormServices& services_;
};

}  // namespace patch
