#include "effects/ParameterCheck.h"

#include "effects/Arithmetic.h"

#include <algorithm>
#include <cstdint>

namespace vexa::effects {

namespace {

bool fitsInt32(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// (centre x c - weight x N8) for every channel c in 0..255 and neighbour sum N8 in
// 0..2040 fits in 32 bits, with centre = p + centreOffset.
bool weightedSumFits(std::int32_t p, int centreOffset, int weight) {
    const std::int64_t centre = std::int64_t(p) + centreOffset;
    const std::int64_t highest = std::max<std::int64_t>(0, centre * 255);
    const std::int64_t lowest = std::min<std::int64_t>(0, centre * 255) - weight * 2040;
    return fitsInt32(highest) && fitsInt32(lowest);
}

std::string named(const char* effect, std::int32_t p, const char* why) {
    return std::string(effect) + " cannot use " + std::to_string(p) + ": " + why;
}

} // namespace

std::string parameterRefusal(std::int32_t effectId, std::int32_t p) {
    switch (effectId) {
    case 1:
        if (p == -8) return named("Sharpen", p, "the strength -8 divides by zero");
        if (!weightedSumFits(p, 24, 2))
            return named("Sharpen", p, "the strength is too large for 32-bit arithmetic");
        break;
    case 6:
        if (p == -1) return named("Edge Enhance", p, "the strength -1 divides by zero");
        if (!weightedSumFits(p, 9, 1))
            return named("Edge Enhance", p, "the strength is too large for 32-bit arithmetic");
        break;
    case 14: {
        if (!fitsInt32(std::int64_t(p) + 100))
            return named("Brightness Scale", p, "the percentage is too large");
        // The table's largest entry is the factor times 255.
        const double f = double(float(double(p + 100) / 100.0));
        if (!roundsIntoInt32(f * 255.0))
            return named("Brightness Scale", p, "the percentage is too large");
        break;
    }
    case 15:
        if (p <= 0) return named("Mosaic", p, "the block size must be at least 1 pixel");
        break;
    case 17:
        if (!fitsInt32(std::int64_t(p) + 100))
            return named("Contrast", p, "the percentage is too large");
        break;
    case 21:
    case 22:
    case 23:
        if (p == 0) return named("Error diffusion", p, "an error scale of 0 divides by zero");
        break;
    case 29:
        if (!fitsInt32(2 * std::int64_t(p) + 1))
            return named("Add Noise", p, "the amplitude is too large");
        break;
    case 31:
        if (p <= 0) return named("Gamma", p, "gamma must be above 0");
        break;
    default:
        break;
    }
    return {};
}

} // namespace vexa::effects
