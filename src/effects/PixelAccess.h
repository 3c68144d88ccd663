#pragma once

// Pixel words and row loops shared by the effect families. A pixel is the 32-bit word of
// its four bytes (blue in the low byte on this little-endian layout); memcpy keeps the
// loads legal on any alignment and compiles to plain moves.

#include "effects/EffectFrame.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vexa::effects {

static_assert(std::endian::native == std::endian::little,
              "pixel words assume blue in the low byte");

constexpr std::uint32_t kReservedMask = 0xFF000000u; // channel 4, never changed
constexpr std::uint32_t kColourMask = 0x00FFFFFFu;

inline std::uint32_t loadPixel(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void storePixel(std::uint8_t* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

// A pixel of channels b, g, r (each 0..255) with the reserved byte of `original`.
inline std::uint32_t makePixel(std::uint32_t b, std::uint32_t g, std::uint32_t r,
                               std::uint32_t original) {
    return b | (g << 8) | (r << 16) | (original & kReservedMask);
}

// Runs `rowWork(y)` for the rows first..last-1 (0-based), storing after each one
// base + (y + 1) x span \ H and yielding, then 100 with a last yield. A rowWork that
// returns bool stops the effect by returning false: the result is then Refused, and the
// caller supplies the reason.
template <typename RowWork>
EffectResult forEachRow(const Frame& frame, int first, int last, RowWork&& rowWork,
                        std::int32_t base = 0, std::int32_t span = 100) {
    for (int y = first; y < last; ++y) {
        if constexpr (std::is_same_v<decltype(rowWork(y)), bool>) {
            if (!rowWork(y)) return refused({});
        } else {
            rowWork(y);
        }
        if (!frame.progress->afterRow(y + 1, frame.height, base, span)) return cancelled();
    }
    if (!frame.progress->report(100)) return cancelled();
    return done();
}

// Stores `pixel(p)` for every source pixel word p, with the standard progress.
template <typename Pixel> EffectResult mapEachPixel(const Frame& frame, Pixel&& pixel) {
    const int w = frame.width; // a local: stores through byte pointers could alias the frame
    return forEachRow(frame, 0, frame.height, [&](int y) {
        const std::uint8_t* s = frame.sourceRow(y);
        std::uint8_t* d = frame.targetRow(y);
        for (int x = 0; x < w; ++x) storePixel(d + 4 * x, pixel(loadPixel(s + 4 * x)));
    });
}

// Copies the source row y into the target row y.
inline void copyRow(const Frame& frame, int y) {
    std::memcpy(frame.targetRow(y), frame.sourceRow(y), static_cast<std::size_t>(frame.width) * 4);
}

// For an effect that covers columns left..right-1 and rows top..bottom-1: copies every
// source pixel outside that range into the target, so it keeps its value.
void copyOutsideRange(const Frame& frame, int y, int left, int right, int top, int bottom);

// The mean gray of the source: the sum over all pixels of (B + G + R) \ 3, divided by
// the number of pixels. 64-bit, so a large bright picture cannot overflow it.
std::int32_t meanGray(const Frame& frame);

} // namespace vexa::effects
