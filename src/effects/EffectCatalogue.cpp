// The effects by id with their names and parameters, and the colour unpacking several of
// them share.

#include "effects/Effects.h"

#include <array>

namespace vexa::effects {

namespace {

// (0, 120, 120) and the other colours as red + 256 x green + 65536 x blue.
constexpr std::int32_t kGrayBlue = 0 + 120 * 256 + 120 * 65536;
constexpr std::int32_t kWhite = 255 + 255 * 256 + 255 * 65536;
constexpr std::int32_t kMidGray = 128 + 128 * 256 + 128 * 65536;
constexpr std::int32_t kThreshold = 180 + 180 * 256 + 180 * 65536;

constexpr std::array<EffectInfo, 31> kEffects = {{
    {1, "Sharpen", "strength, not -8", 2},
    {2, "Negative", "not used"},
    {3, "Blur", "not used"},
    {4, "Diffuse", "spread in pixels", 6},
    {5, "Smooth", "not used"},
    {6, "Edge Enhance", "strength, not -1", 1},
    {7, "Contour", "colour added after the filter", kWhite, true},
    {8, "Emboss", "colour added before the absolute value", kGrayBlue, true},
    {9, "Relief Left", "colour added after the filter", kMidGray, true},
    {10, "Engrave", "colour added before the absolute value", kGrayBlue, true},
    {11, "Relief Right", "colour added after the filter", kMidGray, true},
    {12, "Gray Scale", "not used"},
    {13, "Relief", "not used"},
    {14, "Brightness Scale", "percentage change of every channel", 20},
    {15, "Mosaic", "block size in pixels, 1 or more", 8},
    {16, "Swap Channels", "permutation 1..5", 1},
    {17, "Contrast", "percentage change of contrast", 10},
    {18, "Black & White", "threshold colour", kThreshold, true},
    {19, "Sharp Threshold Dither", "not used"},
    {20, "Ordered Dither", "not used"},
    {21, "Floyd-Steinberg Dither", "error scale, not 0; 10 spreads the full error", 10},
    {22, "Burkes Dither", "error scale, not 0; 10 spreads the full error", 10},
    {23, "Stucki Dither", "error scale, not 0; 10 spreads the full error", 10},
    {24, "Quadrant Smooth", "not used"},
    {25, "Dilate", "not used"},
    {26, "Erode", "not used"},
    {27, "Edge Detect", "not used"},
    {28, "Auto Levels", "not used"},
    {29, "Add Noise", "amplitude in channel steps", 50},
    {30, "Saturation", "percentage change of saturation", 15},
    {31, "Gamma", "gamma x 100, above 0; 100 changes nothing", 90},
}};

} // namespace

std::span<const EffectInfo> effectTable() {
    return kEffects;
}

Colour splitColour(std::int32_t colour) {
    // Red keeps the sign of the value (a remainder); green and blue are plain bit fields.
    return {colour % 256, (colour >> 8) & 255, (colour >> 16) & 255};
}

} // namespace vexa::effects
