#pragma once

// How frmPatch looks: its caption, size and controls, in twips (1/1440 inch)
// so that they scale with the system's resolution; at 96 dpi a pixel is 15
// twips.

namespace patch::layout {

inline constexpr const char* kCaption = "Corvane for Windows 9x - Velmora";
inline constexpr const char* kMessageBoxTitle = "Velmora";

inline constexpr int kClientWidth = 4710;
inline constexpr int kClientHeight = 1095;

struct Control {
    const char* caption;
    int left;
    int top;
    int width;
    int height;
};

// In tab order: Status (which cannot take the focus), then cmdCancel, then
// cmdClose. Status's right edge lines up with cmdCancel's.
inline constexpr Control kStatus = {" Initializing", 120, 240, 4455, 270};
inline constexpr Control kCmdCancel = {"&Cancel", 3480, 660, 1095, 375};
inline constexpr Control kCmdClose = {"&Close", 2280, 660, 1095, 375};

// Twips as pixels at `dpi`, to the nearest pixel, a half up, as MulDiv
// rounds: the same layout at every DPI, only scaled.
constexpr int Pixels(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

struct PixelPlacement {
    int left;
    int top;
    int width;
    int height;
    bool operator==(const PixelPlacement&) const = default;
};

constexpr PixelPlacement Scaled(const Control& control, int dpiX, int dpiY) {
    return {Pixels(control.left, dpiX), Pixels(control.top, dpiY), Pixels(control.width, dpiX),
            Pixels(control.height, dpiY)};
}

}  // namespace patch::layout
