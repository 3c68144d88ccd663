#pragma once

// A pass of Contrast's spread clamp (spreadClamp in EffectKernels.h) on one colour's tones,
// written without branches, && and || so that loops over colours become vector code, and so
// that the same steps run on explicit vectors of eight colours.

#include "effects/PixelAccess.h"

#include <cstdint>

namespace vexa::effects {

// A pass as spreadClamp runs it on (b, g, r), left with the values it gives; `Lanes` is
// std::int32_t or a vector of them, always passed by reference (the plain build and the AVX2
// build would pass a vector differently). `settles` becomes -1 where the pass ends the clamp,
// with the packed result in `colour`; 0 where the colour needs the clamp's next pass, which
// is this again. No step can leave 32 bits on tones within +-2^29, nor in eight passes on
// tones within +-2^16 (a pass at most multiplies the largest value by 2.25, plus 255).
template <typename Lanes>
void spreadPass(Lanes& b, Lanes& g, Lanes& r, Lanes& colour, Lanes& settles) {
    // -1 where a comparison holds, else 0, for whole numbers and vectors alike.
    const Lanes yes = Lanes{} - 1, no = Lanes{};
    // Hands half of what v lies beyond 0..255, rounded towards 0 (v \ 2 below, (v - 255) \ 2
    // above) to the other two.
    auto step = [yes, no](Lanes& v, Lanes& other1, Lanes& other2) {
        Lanes c = v < 0 ? 0 : v;
        c = c > 255 ? 255 : c;
        const Lanes h = (v - c - (v < 0 ? yes : no)) >> 1;
        v = c;
        other1 += h;
        other2 += h;
    };
    // The checks that open a pass are those that closed the one before. The first pass's
    // need not be made: tones all within 0..255 come through the pass unchanged, all at most
    // 0 end it at most 0 and all at least 255 at least 255, so the checks that open the
    // second pass give what the first ones would.
    step(b, g, r);
    step(g, b, r);
    step(r, g, b);
    // A negative channel sets bits above the low 8.
    const Lanes fits = ((b | g | r) & ~255) == 0 ? yes : no;
    const Lanes highest = b > g ? b : g, lowest = b < g ? b : g;
    const Lanes low = (highest > r ? highest : r) <= 0 ? yes : no;
    const Lanes high = (lowest < r ? lowest : r) >= 255 ? yes : no;
    // Masks rather than choices, which can keep the loops from vector code.
    colour = ((b | g << 8 | r << 16) & fits) | (~(fits | low) & std::int32_t(kColourMask));
    settles = fits | low | high;
}

} // namespace vexa::effects
