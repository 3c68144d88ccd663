#pragma once

// A run of whole numbers that rounds a straight line, worked out with one multiply, add and
// shift in 32-bit integers, so vector code needs no table for it.

#include <cstdint>

namespace vexa::effects {

// values[i - first] = (scale x i + offset) >> shift for first <= i < first + count, with
// every scale x i + offset within 32 bits.
struct IntegerLine {
    std::int32_t scale = 0;
    std::int32_t offset = 0;
    std::int32_t shift = 0;
};

// The line through `values` with the largest shift that fits, if any. `slope` is the slope of
// the exact line the values round; when they round it the same way at every half, one is
// found unless the slope is too steep for 32 bits.
bool findIntegerLine(const std::int32_t* values, int first, int count, double slope,
                     IntegerLine& line);

// f x d rounded half to even, for whole d from `first` to `last`, where f is a float widened
// (24 significant bits), so that f x d is exact in double for a d of up to 29 bits. The line
// rounds halves up; f x d lies half way between whole numbers exactly when d & tieMask is
// tieBits, and rounding it to even then goes down from an odd result.
struct RoundedProduct {
    IntegerLine line;
    std::int32_t tieMask = 0;
    std::int32_t tieBits = 1; // never matched when tieMask is 0: f x d has no halves

    // f x d rounded half up.
    std::int32_t up(std::int32_t d) const { return (line.scale * d + line.offset) >> line.shift; }
    // False when f x d is never a half, so that `up` rounds it as `rounded` does.
    bool makesHalves() const { return tieMask != 0; }
    // 1 where f x d is a half.
    std::int32_t tie(std::int32_t d) const { return (d & tieMask) == tieBits ? 1 : 0; }
    // base + f x d rounded half to even, for a whole `base`.
    std::int32_t rounded(std::int32_t d, std::int32_t base = 0) const {
        const std::int32_t sum = base + up(d);
        return sum - (tie(d) & sum & 1);
    }
};

// False when no line in 32-bit integers rounds f x d for every d in first .. last.
bool findRoundedProduct(double f, int first, int last, RoundedProduct& product);

} // namespace vexa::effects
