#pragma once

// The first pass of Contrast's spread clamp (spreadClamp in EffectKernels.h) on one colour's
// tones, written without branches, && and || so that loops over colours become vector code.

#include "effects/PixelAccess.h"

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
    // The checks that open the first pass need not be made: tones all within 0..255 come
    // through the pass unchanged, all at most 0 end it at most 0 and all at least 255 at
    // least 255, so the checks that open the second pass give what the first ones would.
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
    // The checks that open the second pass. A negative channel sets bits above the low 8.
    const int fits = int(((b | g | r) & ~255) == 0);
    const int low = int(b <= 0) & int(g <= 0) & int(r <= 0);
    const int high = int(b >= 255) & int(g >= 255) & int(r >= 255);
    const std::uint32_t packed = std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16;
    // Masks rather than choices, which can keep the loops from vector code.
    const std::uint32_t fitsMask = 0u - std::uint32_t(fits), lowMask = 0u - std::uint32_t(low);
    result = (packed & fitsMask) | (kColourMask & ~(fitsMask | lowMask));
    return fits | low | high;
}

} // namespace vexa::effects
