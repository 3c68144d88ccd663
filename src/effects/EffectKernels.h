#pragma once

// The effects by family, as the dispatcher calls them. Each reads frame.source (the
// picture as it was) or frame.target (for the in-place effects, which start from a copy),
// writes frame.target, reports progress after each row and returns Done, Cancelled when
// the yield hook asked to stop, or Refused when its arithmetic would leave 32 bits.

#include "effects/EffectFrame.h"

#include <cstdint>

namespace vexa::effects {

// Per-pixel effects (PerPixelEffects.cpp, ToneEffects.cpp).
EffectResult negative(const Frame& frame, std::int32_t parameter);        // 2
EffectResult grayScale(const Frame& frame, std::int32_t parameter);       // 12
EffectResult brightnessScale(const Frame& frame, std::int32_t parameter); // 14
EffectResult swapChannels(const Frame& frame, std::int32_t parameter);    // 16
EffectResult contrast(const Frame& frame, std::int32_t parameter);        // 17
EffectResult blackAndWhite(const Frame& frame, std::int32_t parameter);   // 18
EffectResult autoLevels(const Frame& frame, std::int32_t parameter);      // 28
EffectResult addNoise(const Frame& frame, std::int32_t parameter);        // 29
EffectResult saturation(const Frame& frame, std::int32_t parameter);      // 30
EffectResult gamma(const Frame& frame, std::int32_t parameter);           // 31

// Neighbourhood effects that read and write the target (InPlaceFilters.cpp).
EffectResult sharpen(const Frame& frame, std::int32_t parameter);     // 1
EffectResult blur(const Frame& frame, std::int32_t parameter);        // 3
EffectResult diffuse(const Frame& frame, std::int32_t parameter);     // 4
EffectResult smooth(const Frame& frame, std::int32_t parameter);      // 5
EffectResult edgeEnhance(const Frame& frame, std::int32_t parameter); // 6

// Neighbourhood effects that read the source (SourceFilters.cpp).
EffectResult contour(const Frame& frame, std::int32_t parameter);     // 7
EffectResult emboss(const Frame& frame, std::int32_t parameter);      // 8
EffectResult reliefLeft(const Frame& frame, std::int32_t parameter);  // 9
EffectResult engrave(const Frame& frame, std::int32_t parameter);     // 10
EffectResult reliefRight(const Frame& frame, std::int32_t parameter); // 11
EffectResult relief(const Frame& frame, std::int32_t parameter);      // 13
EffectResult dilate(const Frame& frame, std::int32_t parameter);      // 25
EffectResult erode(const Frame& frame, std::int32_t parameter);       // 26
EffectResult edgeDetect(const Frame& frame, std::int32_t parameter);  // 27

// Effects over blocks and regions (RegionFilters.cpp).
EffectResult mosaic(const Frame& frame, std::int32_t parameter);         // 15
EffectResult quadrantSmooth(const Frame& frame, std::int32_t parameter); // 24

// Black and white dithering (Dithering.cpp).
EffectResult sharpThresholdDither(const Frame& frame, std::int32_t parameter); // 19
EffectResult orderedDither(const Frame& frame, std::int32_t parameter);        // 20
EffectResult floydSteinbergDither(const Frame& frame, std::int32_t parameter); // 21
EffectResult burkesDither(const Frame& frame, std::int32_t parameter);         // 22
EffectResult stuckiDither(const Frame& frame, std::int32_t parameter);         // 23

// Contrast's spread clamp: brings (b, g, r) into 0..255 by handing half of a channel's
// excess to the other two, repeating until all three fit. False when a step would leave
// 32 bits; the values are then unspecified.
bool spreadClamp(std::int32_t& b, std::int32_t& g, std::int32_t& r);

} // namespace vexa::effects
