#pragma once

// The engine's random numbers: a 24-bit linear congruential generator with a fixed start
// state that nothing ever reseeds, so every run of the program draws the same sequence
// and an effect that uses it gives the same picture in every run. Each EffectEngine owns
// one; there is no generator shared behind the callers' backs.

#include <cstddef>
#include <cstdint>

namespace vexa::effects {

class Lcg24 {
public:
    static constexpr std::uint32_t kStart = 327680;
    static constexpr std::uint32_t kMultiplier = 1140671485;
    static constexpr std::uint32_t kIncrement = 12820163;
    static constexpr std::uint32_t kMask = (1u << 24) - 1;

    explicit Lcg24(std::uint32_t state = kStart) : state_(state & kMask) {}

    // The next number r with 0 <= r < 1: the new state / 2^24, exact in single precision.
    float next() {
        state_ = (state_ * kMultiplier + kIncrement) & kMask;
        return static_cast<float>(state_) * (1.0f / 16777216.0f);
    }

    // Fills `out` with the next `count` numbers, in the order next() would give them.
    void fill(float* out, std::size_t count);
    // The same as the states behind the numbers: each number is its state / 2^24.
    void fillStates(std::uint32_t* out, std::size_t count);

    std::uint32_t state() const { return state_; }
    void setState(std::uint32_t state) { state_ = state & kMask; }

private:
    std::uint32_t state_;
};

} // namespace vexa::effects
