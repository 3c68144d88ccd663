#include "effects/IntegerLine.h"

#include <cmath>
#include <vector>

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

bool findRoundedProduct(double f, int first, int last, RoundedProduct& product) {
    product = {};
    // f = m x 2^-s with m odd: f x d lies half way between whole numbers exactly when
    // m x d = 2^(s-1) modulo 2^s, that is when d = 2^(s-1) modulo 2^s.
    int exponent = 0;
    const double mantissa = std::frexp(f, &exponent); // f = mantissa x 2^exponent
    double m = std::ldexp(mantissa, 53);
    int s = 53 - exponent;
    while (m != 0.0 && std::fmod(m, 2.0) == 0.0) {
        m /= 2.0;
        --s;
    }
    const double reach = std::fmax(std::fabs(double(first)), std::fabs(double(last)));
    if (m != 0.0 && s >= 1 && s <= 30 && std::ldexp(1.0, s - 1) <= reach) {
        product.tieMask = std::int32_t((std::int64_t(1) << s) - 1);
        product.tieBits = std::int32_t(std::int64_t(1) << (s - 1));
    }
    // f x d rounded half up, exact in double for every d.
    std::vector<std::int32_t> up;
    for (int d = first; d <= last; ++d) {
        const double v = std::floor(f * double(d) + 0.5);
        if (!(std::fabs(v) < 2147483647.0)) return false;
        up.push_back(std::int32_t(v));
    }
    return findIntegerLine(up.data(), first, last - first + 1, f, product.line);
}

} // namespace vexa::effects
