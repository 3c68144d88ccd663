#include "effects/ContrastRow.h"

#include "effects/PixelAccess.h"
#include "effects/SpreadPass.h"
#include "effects/VectorClones.h"

namespace vexa::effects {

VEXA_VECTOR_CLONES bool contrastRowFirstPass(const std::uint8_t* __restrict from,
                                             std::uint8_t* __restrict to, int w, IntegerLine line,
                                             std::uint8_t* __restrict unsettled) {
    const std::int32_t scale = line.scale, offset = line.offset, shift = line.shift;
    auto tone = [=](std::uint32_t v) { return (scale * std::int32_t(v) + offset) >> shift; };
    std::uint32_t any = 0;
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(from + 4 * x);
        std::uint32_t colour = 0;
        const std::uint32_t open = std::uint32_t(
            firstSpreadPassOf(tone(p & 255), tone((p >> 8) & 255), tone((p >> 16) & 255), colour) ^
            1);
        // A mask rather than a choice, which would keep the loop from vector code.
        const std::uint32_t keep = 0u - open;
        storePixel(to + 4 * x, ((colour | (p & kReservedMask)) & ~keep) | (p & keep));
        unsettled[x] = std::uint8_t(open);
        any |= open;
    }
    return any != 0;
}

} // namespace vexa::effects
