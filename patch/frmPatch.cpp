#include "patch/frmPatch.h"

namespace patch {

// Cancel can be pressed only until step 2 has written the values.
void frmPatch::cmdCancel_Click() {
    services_.EndProgram(ExitCode::NothingWritten);
}

// Close is enabled only once step 3 has reported completion.
void frmPatch::cmdClose_Click() {
    services_.EndProgram(ExitCode::PatchApplied);
}

}  // namespace patch
