#pragma once

// Small pictures for the effect tests, addressed as in the effect formulas: columns and
// rows from 1, channels 1 = blue, 2 = green, 3 = red, 4 = the reserved byte.

#include "effects/Effects.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vexa::effects::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    Picture(int w, int h) : width(w), height(h), bytes(std::size_t(w) * std::size_t(h) * 4, 0) {}

    std::uint8_t& at(int x, int y, int k) {
        return bytes[(std::size_t(y - 1) * std::size_t(width) + std::size_t(x - 1)) * 4 +
                     std::size_t(k - 1)];
    }
    // Sets channels 1..3 of pixel (x, y).
    void set(int x, int y, int b, int g, int r) {
        at(x, y, 1) = std::uint8_t(b);
        at(x, y, 2) = std::uint8_t(g);
        at(x, y, 3) = std::uint8_t(r);
    }
    void fill(int b, int g, int r) {
        for (int y = 1; y <= height; ++y)
            for (int x = 1; x <= width; ++x) set(x, y, b, g, r);
    }
    PictureView view() { return {bytes.data(), width, height, std::ptrdiff_t(width) * 4}; }
    bool operator==(const Picture&) const = default;
};

// Every byte (the reserved one too) from a fixed pseudo-random sequence.
Picture noisePicture(int w, int h, std::uint32_t seed = 1);

// The engine the effect tests share, as the program shares one for its run.
EffectEngine& testEngine();

// Runs an effect on the shared engine without a yield hook.
EffectResult apply(std::int32_t id, Picture& picture, std::int32_t parameter = 0);
// The same on an engine of the caller's.
EffectResult apply(EffectEngine& engine, std::int32_t id, Picture& picture,
                   std::int32_t parameter = 0);

// Channel `k` of every pixel of the rows `y`, as a list, left to right.
std::vector<int> channelRow(Picture& picture, int y, int k);

// Sets the shared engine's random sequence back to its start.
void restartRandom();

// An effect with a parameter.
struct EffectCase {
    std::int32_t id;
    std::int32_t parameter;
};
// Every effect with its usual parameter, and the parameters with paths of their own: mosaic
// blocks that do and do not divide the height, contrast and saturation strong enough to clamp,
// an extra Gamma and Swap Channels, and a Diffuse that reaches further than a few rows.
std::vector<EffectCase> everyEffectCase();

} // namespace vexa::effects::test
