#pragma once

// Saturation's arithmetic worked out in vector registers instead of looked up in a table:
// each channel v of a pixel with gray g ((b + g + r) \ 3) becomes f x (v - g) + v rounded
// half to even and clamped to 0..255.

#include "effects/IntegerLine.h"

#include <cstdint>

namespace vexa::effects {

class SaturationArithmetic {
public:
    // For factors with which no channel rounds beyond 32 bits: |f| x 170 + 255 below 2^31.
    explicit SaturationArithmetic(double f);

    // The `w` pixels at `from`, written at `to`, which does not overlap them.
    void apply(const std::uint8_t* from, std::uint8_t* to, int w) const;

    // Whether the rounding is done in 32-bit integers (else in doubles, which is slower).
    bool inIntegers() const { return inIntegers_; }

private:
    double f_;
    bool inIntegers_ = false;
    RoundedProduct product_; // f x d for d = v - g
};

} // namespace vexa::effects
