// frmPatch's layout at the DPIs of Windows' usual scalings (100 % to 200 %):
// the same twips, scaled and rounded as MulDiv rounds, so that Velmora.exe
// lays out at every DPI what the end-to-end tests measure at theirs, and
// Status's right edge stays on cmdCancel's.

#include <gtest/gtest.h>

#include "patch/frmPatchLayout.h"

namespace patch::layout {
// Found by GoogleTest beside the type, to print a placement that differs.
void PrintTo(const PixelPlacement& p, std::ostream* out) {
    *out << "(" << p.left << ", " << p.top << ") " << p.width << " x " << p.height;
}
}  // namespace patch::layout

namespace {

using patch::layout::PixelPlacement;

struct AtDpi {
    int dpi;
    int clientWidth;
    int clientHeight;
    PixelPlacement status;
    PixelPlacement cmdCancel;
    PixelPlacement cmdClose;
};

void PrintTo(const AtDpi& at, std::ostream* out) {
    *out << at.dpi << " dpi";
}

class LayoutTest : public testing::TestWithParam<AtDpi> {};

TEST_P(LayoutTest, ScalesTheTwipsToPixels) {
    namespace layout = patch::layout;
    const AtDpi& at = GetParam();
    EXPECT_EQ(layout::Pixels(layout::kClientWidth, at.dpi), at.clientWidth);
    EXPECT_EQ(layout::Pixels(layout::kClientHeight, at.dpi), at.clientHeight);
    const PixelPlacement status = layout::Scaled(layout::kStatus, at.dpi, at.dpi);
    const PixelPlacement cancel = layout::Scaled(layout::kCmdCancel, at.dpi, at.dpi);
    EXPECT_EQ(status, at.status);
    EXPECT_EQ(cancel, at.cmdCancel);
    EXPECT_EQ(layout::Scaled(layout::kCmdClose, at.dpi, at.dpi), at.cmdClose);
    EXPECT_EQ(status.left + status.width, cancel.left + cancel.width);
}

INSTANTIATE_TEST_SUITE_P(
    Dpis, LayoutTest,
    testing::Values(AtDpi{96, 314, 73, {8, 16, 297, 18}, {232, 44, 73, 25}, {152, 44, 73, 25}},
                    AtDpi{120, 393, 91, {10, 20, 371, 23}, {290, 55, 91, 31}, {190, 55, 91, 31}},
                    AtDpi{144, 471, 110, {12, 24, 446, 27}, {348, 66, 110, 38}, {228, 66, 110, 38}},
                    AtDpi{
                        192, 628, 146, {16, 32, 594, 36}, {464, 88, 146, 50}, {304, 88, 146, 50}}),
    [](const auto& info) { return std::to_string(info.param.dpi); });

}  // namespace
