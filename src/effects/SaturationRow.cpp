#include "effects/SaturationRow.h"

#include "effects/Arithmetic.h"
#include "effects/IntegerLine.h"
#include "effects/PixelAccess.h"
#include "effects/VectorClones.h"

#include <cmath>

namespace vexa::effects {

namespace {

// v - gray lies within +-170: 255 against the gray of (255, 0, 0) and 0 against (0, 255, 255).
constexpr int kReach = 170;

// f x (v - gray) + v, rounded half to even and clamped to a channel. f is a float widened,
// 24 significant bits, and v - gray has 9, so the product and the sum are exact in double:
// the rounding below is the only one, as in the formula. Clamping before rounding gives the
// same channel, since 0 and 255 are whole numbers.
inline std::uint32_t channelInDoubles(std::int32_t v, std::int32_t gray, double f) {
    double x = f * double(v - gray) + double(v);
    x = clampChannel(x);
    // Next to 2^52 the doubles are the whole numbers, so the sum rounds x half to even in the
    // default rounding mode, which nothing in the program changes.
    return std::uint32_t(std::int32_t((x + 0x1p52) - 0x1p52));
}

VEXA_VECTOR_CLONES void rowInDoubles(const std::uint8_t* __restrict from,
                                     std::uint8_t* __restrict to, int w, double f) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(from + 4 * x);
        const std::int32_t b = std::int32_t(p & 255), g = std::int32_t((p >> 8) & 255),
                           r = std::int32_t((p >> 16) & 255);
        const std::int32_t gray = std::int32_t(grayOf(p));
        storePixel(to + 4 * x, channelInDoubles(b, gray, f) | channelInDoubles(g, gray, f) << 8 |
                                   channelInDoubles(r, gray, f) << 16 | (p & kReservedMask));
    }
}

// v + f x (v - gray) rounded half to even and clamped: rounded half up, then, at a half,
// down from an odd sum (v is whole, so the half is the sum's). Most factors never make a
// half, and their loop leaves that step out.
template <bool kHalves>
VEXA_VECTOR_CLONES void rowInIntegers(const std::uint8_t* __restrict from,
                                      std::uint8_t* __restrict to, int w, RoundedProduct product) {
    auto channel = [=](std::int32_t v, std::int32_t gray) {
        return std::uint32_t(
            clampChannel(kHalves ? product.rounded(v - gray, v) : v + product.up(v - gray)));
    };
    for (int x = 0; x < w; ++x) {
        const std::uint32_t p = loadPixel(from + 4 * x);
        const std::int32_t b = std::int32_t(p & 255), g = std::int32_t((p >> 8) & 255),
                           r = std::int32_t((p >> 16) & 255);
        const std::int32_t gray = std::int32_t(grayOf(p));
        storePixel(to + 4 * x, channel(b, gray) | channel(g, gray) << 8 | channel(r, gray) << 16 |
                                   (p & kReservedMask));
    }
}

} // namespace

SaturationArithmetic::SaturationArithmetic(double f) : f_(f) {
    inIntegers_ = findRoundedProduct(f, -kReach, kReach, product_);
}

void SaturationArithmetic::apply(const std::uint8_t* from, std::uint8_t* to, int w) const {
    if (inIntegers_ && product_.makesHalves())
        rowInIntegers<true>(from, to, w, product_);
    else if (inIntegers_)
        rowInIntegers<false>(from, to, w, product_);
    else
        rowInDoubles(from, to, w, f_);
}

} // namespace vexa::effects
