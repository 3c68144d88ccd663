#pragma once

// The number rules every effect shares: clamping to a channel, rounding half to even and
// the range of a 32-bit signed result. The engine has no Qt, so it keeps its own rounding.

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa::effects {

// Maps values below 0 to 0 and above 255 to 255.
template <typename T> constexpr T clampChannel(T value) {
    return value < T(0) ? T(0) : (value > T(255) ? T(255) : value);
}

// Rounds to the nearest integer, halves to the even neighbour (relies on the default
// floating-point rounding mode, which nothing in the program changes).
inline double roundHalfEven(double value) {
    return std::nearbyint(value);
}

// Whether `value` rounds half to even to a number a 32-bit signed integer can hold.
inline bool roundsIntoInt32(double value) {
    return value >= -2147483648.5 && value < 2147483647.5;
}

// roundHalfEven for a value known to round into the 32-bit range; one instruction where
// the processor converts with the current (nearest-even) rounding mode.
inline std::int32_t roundToInt32(double value) {
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(value));
#else
    return static_cast<std::int32_t>(std::nearbyint(value));
#endif
}

} // namespace vexa::effects
