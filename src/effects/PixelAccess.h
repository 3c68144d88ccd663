#pragma once

// Pixel words and row loops shared by the effect families. A pixel is the 32-bit word of
// its four bytes (blue in the low byte on this little-endian layout); memcpy keeps the
// loads legal on any alignment and compiles to plain moves.

#include "effects/EffectFrame.h"
#include "effects/RowPass.h"
#include "effects/VectorClones.h"

#include <bit>
#include <cstdint>
#include <cstring>

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

// The gray of a pixel word, (B + G + R) \ 3: s x 43691 >> 17 is s \ 3 for every s up to
// 3 x 255, without a division.
inline std::uint32_t grayOf(std::uint32_t p) {
    return (((p & 255) + ((p >> 8) & 255) + ((p >> 16) & 255)) * 43691u) >> 17;
}

// Replaces each of the `width` pixel words p of `row` by pixel(p), in a loop the compiler
// vectorises.
template <typename Pixel>
VEXA_VECTOR_CLONES void mapRow(std::uint8_t* __restrict row, int width, Pixel pixel) {
    for (int x = 0; x < width; ++x) storePixel(row + 4 * x, pixel(loadPixel(row + 4 * x)));
}

// Writes pixel(p) at `to` for each of the `width` pixel words p at `from`.
template <typename Pixel>
VEXA_VECTOR_CLONES void mapRowFrom(const std::uint8_t* __restrict from, std::uint8_t* __restrict to,
                                   int width, Pixel pixel) {
    for (int x = 0; x < width; ++x) storePixel(to + 4 * x, pixel(loadPixel(from + 4 * x)));
}

// Stores `pixel(p)` for every pixel word p, on bands of rows. `selfInverse`: pixel(pixel(p))
// is p for every p, so in place nothing needs saving.
template <typename Pixel>
EffectResult mapEachPixel(const Frame& frame, Pixel pixel, bool selfInverse = false) {
    RowPlan plan;
    plan.last = frame.height;
    if (selfInverse && !frame.newPicture) {
        plan.readsCopy = false;
        plan.selfInverse = true;
        return forEachRowInBands(frame, plan, [&] {
            return [&](int y) { mapRow(frame.targetRow(y), frame.width, pixel); };
        });
    }
    return forEachRowSavingInBands(frame, plan, [&] {
        return [&](int y, const RowCopy& copy) {
            saveAndWork(frame.targetRow(y), copy, frame.width,
                        [&](const std::uint8_t* from, std::uint8_t* to, int pixels) {
                            mapRowFrom(from, to, pixels, pixel);
                        });
        };
    });
}

// The sum of (B + G + R) \ 3 over the `width` pixels of a row.
std::uint64_t grayRowSum(const std::uint8_t* row, int width);

// The mean gray of the picture before the row pass: the sum over all pixels of
// (B + G + R) \ 3, divided by the number of pixels. 64-bit, so a large bright picture cannot
// overflow it.
std::int32_t meanGray(const Frame& frame);

// The same on bands of rows, without yielding; Done with the mean in `mean`, or Cancelled.
EffectResult meanGrayInBands(const Frame& frame, std::int32_t& mean);

} // namespace vexa::effects
