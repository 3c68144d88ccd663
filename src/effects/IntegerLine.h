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

} // namespace vexa::effects
