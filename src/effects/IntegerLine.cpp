#include "effects/IntegerLine.h"

#include <cmath>

namespace vexa::effects {

bool findIntegerLine(const std::int32_t* values, int first, int count, double slope,
                     IntegerLine& line) {
    const double reach = std::fmax(std::fabs(double(first)), std::fabs(double(first + count - 1)));
    for (int shift = 24; shift >= 0; --shift) {
        const double unit = std::ldexp(1.0, shift);
        const double centre = std::nearbyint(slope * unit);
        // Beyond this the bounds below would no longer be exact in double either.
        if (std::fabs(centre) * reach >= 2147483647.0) continue;
        // The scales that work form one run around slope x 2^shift (the exact line works with
        // an offset of half a unit), short when the shift is small.
        for (double scale = centre - 64; scale <= centre + 64; ++scale) {
            // values[i] x unit <= scale x i + offset < (values[i] + 1) x unit for every i.
            double low = -1e300, high = 1e300;
            for (int n = 0; n < count && low <= high; ++n) {
                const double i = double(first + n), v = double(values[n]);
                low = std::fmax(low, v * unit - scale * i);
                high = std::fmin(high, (v + 1) * unit - scale * i - 1);
            }
            if (low > high || std::fabs(scale) * reach + std::fabs(low) >= 2147483647.0) continue;
            line.scale = std::int32_t(scale);
            line.offset = std::int32_t(low);
            line.shift = shift;
            return true;
        }
    }
    return false;
}

} // namespace vexa::effects
