#pragma once

// The first pass of Contrast's spread clamp (spreadClamp in EffectKernels.h) on one colour's
// tones, written without branches, && and || so that loops over colours become vector code.

#include "effects/PixelAccess.h"

#include <algorithm>
#include <cstdint>

namespace vexa::effects {

// The pass as spreadClamp runs it on tones (b, g, r) within +-2^29, where no step can leave
// 32 bits. Returns 1 where the pass ends the clamp, with the packed result in `result`; 0
// where the colour needs the whole clamp.
inline int firstSpreadPassOf(std::int32_t b, std::int32_t g, std::int32_t r,
                             std::uint32_t& result) {
    auto clamp = [](std::int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
    // Half of what v lies beyond 0..255, rounded towards 0: v \ 2 below, (v - 255) \ 2 above.
    auto excess = [](std::int32_t v, std::int32_t clamped) {
        return (v - clamped + std::int32_t(std::uint32_t(v) >> 31)) >> 1;
    };
    auto inRange = [](std::int32_t v) { return int((v & ~255) == 0); };
    auto allLow = [](std::int32_t b, std::int32_t g, std::int32_t r) {
        return int(std::max(std::max(b, g), r) <= 0);
    };
    auto allHigh = [](std::int32_t b, std::int32_t g, std::int32_t r) {
        return int(std::min(std::min(b, g), r) >= 255);
    };
    // The checks that open the first pass. Tones all within 0..255, which the first check
    // ends, come through the pass unchanged and are taken by the checks after it.
    const int low = allLow(b, g, r), high = allHigh(b, g, r);
    std::int32_t c = clamp(b);
    std::int32_t h = excess(b, c);
    b = c;
    g += h;
    r += h;
    c = clamp(g);
    h = excess(g, c);
    g = c;
    b += h;
    r += h;
    c = clamp(r);
    h = excess(r, c);
    r = c;
    g += h;
    b += h;
    // The checks that open the second pass.
    const int fits = inRange(b) & inRange(g) & inRange(r);
    const int lowAfter = allLow(b, g, r), highAfter = allHigh(b, g, r);
    const std::uint32_t packed = std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16;
    const std::uint32_t second = fits ? packed : (lowAfter ? 0u : kColourMask);
    result = low ? 0u : (high ? kColourMask : second);
    return low | high | fits | lowAfter | highAfter;
}

} // namespace vexa::effects
