// Neighbourhood effects that read only the picture as it was: Contour, Emboss, Relief
// Left, Engrave, Relief Right, Relief, Dilate, Erode and Edge Detect. Each covers a range
// of columns and rows; the pixels outside it keep their values.

#include "Arithmetic.h"
#include "EffectKernels.h"
#include "PixelAccess.h"

#include <algorithm>
#include <cstdlib>

namespace vexa::effects {

namespace {

// Runs `pixel(up, cur, down, out, i)` on every pixel of columns left..right-1 and rows
// top..bottom-1 (0-based); up, cur and down are the source rows around the pixel (up and
// down may be null where the range does not need them), out is the target row, and i the
// pixel's byte offset. `pixel` writes channels 1 to 3; channel 4 is copied here.
template <typename Pixel>
EffectResult overSource(const Frame& frame, int left, int right, int top, int bottom,
                        Pixel&& pixel) {
    const int h = frame.height;
    top = std::clamp(top, 0, h);
    bottom = std::clamp(bottom, top, h);
    for (int y = 0; y < h; ++y)
        if (y < top || y >= bottom) copyRow(frame, y);
    return forEachRow(frame, top, bottom, [&](int y) {
        copyOutsideRange(frame, y, left, right, top, bottom);
        const std::uint8_t* up = y > 0 ? frame.sourceRow(y - 1) : nullptr;
        const std::uint8_t* cur = frame.sourceRow(y);
        const std::uint8_t* down = y + 1 < h ? frame.sourceRow(y + 1) : nullptr;
        std::uint8_t* out = frame.targetRow(y);
        for (int x = left; x < right; ++x) {
            const std::ptrdiff_t i = std::ptrdiff_t(x) * 4;
            pixel(up, cur, down, out, i);
            out[i + 3] = cur[i + 3];
        }
    });
}

// The interior: columns and rows 2..W-1, 2..H-1 in the formulas' counting.
template <typename Pixel> EffectResult overInterior(const Frame& frame, Pixel&& pixel) {
    return overSource(frame, 1, frame.width - 1, 1, frame.height - 1, pixel);
}

// The colour components in channel order: blue, green, red.
struct ChannelColour {
    std::int32_t c[3];
    explicit ChannelColour(std::int32_t packed) {
        const Colour colour = SplitColour(packed);
        c[0] = colour.blue;
        c[1] = colour.green;
        c[2] = colour.red;
    }
};

inline int neighbourSum(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* down,
                        std::ptrdiff_t j) {
    return up[j - 4] + up[j] + up[j + 4] + cur[j - 4] + cur[j + 4] + down[j - 4] + down[j] +
           down[j + 4];
}

// Relief Left minus Relief Right's mirror: the left column minus the right column.
inline int leftMinusRight(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* down,
                          std::ptrdiff_t j) {
    return up[j - 4] + cur[j - 4] + down[j - 4] - up[j + 4] - cur[j + 4] - down[j + 4];
}

template <typename Pick>
inline int pickOfNine(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* down,
                      std::ptrdiff_t j, Pick pick) {
    int v = cur[j];
    for (const std::uint8_t* row : {up, cur, down})
        v = pick(pick(pick(v, int(row[j - 4])), int(row[j])), int(row[j + 4]));
    return v;
}

int largest(int a, int b) {
    return std::max(a, b);
}
int smallest(int a, int b) {
    return std::min(a, b);
}

} // namespace

EffectResult contour(const Frame& frame, std::int32_t colour) {
    const ChannelColour c(colour);
    return overInterior(frame, [&](const std::uint8_t* up, const std::uint8_t* cur,
                                   const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k) {
            const std::ptrdiff_t j = i + k;
            out[j] =
                std::uint8_t(clampChannel(8 * cur[j] - neighbourSum(up, cur, down, j) + c.c[k]));
        }
    });
}

EffectResult emboss(const Frame& frame, std::int32_t colour) {
    const ChannelColour c(colour);
    return overSource(frame, 0, frame.width - 1, 0, frame.height - 1,
                      [&](const std::uint8_t*, const std::uint8_t* cur, const std::uint8_t* down,
                          std::uint8_t* out, std::ptrdiff_t i) {
                          for (int k = 0; k < 3; ++k) {
                              const std::ptrdiff_t j = i + k;
                              out[j] = std::uint8_t(
                                  clampChannel(std::abs(cur[j] - down[j + 4] + c.c[k])));
                          }
                      });
}

EffectResult engrave(const Frame& frame, std::int32_t colour) {
    const ChannelColour c(colour);
    return overSource(frame, 0, frame.width - 1, 0, frame.height - 1,
                      [&](const std::uint8_t*, const std::uint8_t* cur, const std::uint8_t* down,
                          std::uint8_t* out, std::ptrdiff_t i) {
                          for (int k = 0; k < 3; ++k) {
                              const std::ptrdiff_t j = i + k;
                              out[j] = std::uint8_t(
                                  clampChannel(std::abs(down[j + 4] - cur[j] + c.c[k])));
                          }
                      });
}

EffectResult reliefLeft(const Frame& frame, std::int32_t colour) {
    const ChannelColour c(colour);
    return overInterior(frame, [&](const std::uint8_t* up, const std::uint8_t* cur,
                                   const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k)
            out[i + k] = std::uint8_t(clampChannel(leftMinusRight(up, cur, down, i + k) + c.c[k]));
    });
}

EffectResult reliefRight(const Frame& frame, std::int32_t colour) {
    const ChannelColour c(colour);
    return overInterior(frame, [&](const std::uint8_t* up, const std::uint8_t* cur,
                                   const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k)
            out[i + k] = std::uint8_t(clampChannel(-leftMinusRight(up, cur, down, i + k) + c.c[k]));
    });
}

EffectResult relief(const Frame& frame, std::int32_t) {
    return overInterior(frame, [](const std::uint8_t* up, const std::uint8_t* cur,
                                  const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k) {
            const std::ptrdiff_t j = i + k;
            const int slope =
                2 * up[j - 4] + cur[j - 4] + up[j] - down[j] - cur[j + 4] - 2 * down[j + 4];
            // Truncating toward zero before the 50 is added.
            out[j] = std::uint8_t(clampChannel((slope + cur[j]) / 2 + 50));
        }
    });
}

EffectResult dilate(const Frame& frame, std::int32_t) {
    return overInterior(frame, [](const std::uint8_t* up, const std::uint8_t* cur,
                                  const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k)
            out[i + k] = std::uint8_t(pickOfNine(up, cur, down, i + k, largest));
    });
}

EffectResult erode(const Frame& frame, std::int32_t) {
    return overInterior(frame, [](const std::uint8_t* up, const std::uint8_t* cur,
                                  const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k)
            out[i + k] = std::uint8_t(pickOfNine(up, cur, down, i + k, smallest));
    });
}

EffectResult edgeDetect(const Frame& frame, std::int32_t) {
    return overInterior(frame, [](const std::uint8_t* up, const std::uint8_t* cur,
                                  const std::uint8_t* down, std::uint8_t* out, std::ptrdiff_t i) {
        for (int k = 0; k < 3; ++k)
            out[i + k] = std::uint8_t(cur[i + k] - pickOfNine(up, cur, down, i + k, smallest));
    });
}

} // namespace vexa::effects
