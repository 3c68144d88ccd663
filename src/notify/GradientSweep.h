#pragma once

// The geometry and colours of a gradient drawn as a sweep of parallel one-pixel lines, kept
// apart from any painting so that it can be checked line by line.

#include <cstdint>
#include <vector>

namespace vexa::notify {

struct SweepPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const SweepPoint&, const SweepPoint&) = default;
};

struct GradientSweep {
    // Points 2k and 2k + 1 are the two ends of line k. With an odd count the last point has
    // no partner and is not drawn.
    std::vector<SweepPoint> points;
    // The colour of line k at index k (red in the low byte); it may hold one colour more
    // than there are lines.
    std::vector<std::int32_t> colours;

    int lineCount() const { return static_cast<int>(points.size() / 2); }
};

// An angle in degrees brought into [0, 360): -100 becomes 260. Not-a-number and infinities
// become 0, so that no later conversion to an integer can go wrong.
float normalizedAngle(float degrees);

// Fills `table` with `steps` colours (at least 2) from `colour1` to `colour2` and returns their
// number. The increments divide by the number of colours, not by the gaps between them, so the
// last colour jumps to `colour2`.
std::int32_t blendColours(std::int32_t colour1, std::int32_t colour2, std::int32_t steps,
                          std::vector<std::int32_t>& table);

// The lines that cover a box of width x height pixels with a gradient at `angle` degrees
// (0: colour1 at the left, 90: at the bottom, 180: at the right, 270: at the top). Nothing for
// a box of 1 pixel or less in either direction.
GradientSweep gradientSweep(int width, int height, float angle, std::int32_t colour1,
                            std::int32_t colour2);

} // namespace vexa::notify
