#pragma once

// min(n / d, 255) for a divisor fixed for a whole effect, computed with a multiplication and
// shifts instead of a division, which would sit in the serial chain of the in-place filters.

#include <cstdint>

namespace vexa::effects {

class ClampedDivision {
public:
    // `divisor` from 1 to 2^31.
    explicit ClampedDivision(std::uint32_t divisor) {
        // With l = ceil(log2 d) and m = ceil(2^(32 + l) / d), a number between 2^32 and 2^33,
        // floor(m n / 2^(32 + l)) equals floor(n / d) for every n below 2^32 (Granlund and
        // Montgomery). m is kept as 2^32 + low so the products fit in 64 bits.
        while ((std::uint64_t(1) << shift_) < divisor) ++shift_;
        const std::uint64_t m = ((std::uint64_t(1) << (32 + shift_)) + divisor - 1) / divisor;
        low_ = m - (std::uint64_t(1) << 32);
    }

    // min(n / d, 255) for 0 <= n < 2^32.
    std::uint32_t operator()(std::uint64_t n) const {
        const std::uint64_t q = (n + ((n * low_) >> 32)) >> shift_;
        return q > 255 ? 255u : std::uint32_t(q);
    }

private:
    int shift_ = 0;
    std::uint64_t low_ = 0;
};

} // namespace vexa::effects
