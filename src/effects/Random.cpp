#include "effects/Random.h"

#include <algorithm>

namespace vexa::effects {

namespace {

// Jump-ahead constants: k steps of the generator are x -> a_k x + c_k (mod 2^24), so eight
// independent lanes can produce consecutive numbers without waiting on each other.
constexpr int kLanes = 8;

struct Jump {
    std::uint32_t multiplier[kLanes + 1];
    std::uint32_t increment[kLanes + 1];
};

constexpr Jump makeJump() {
    Jump jump{};
    std::uint32_t a = 1;
    std::uint32_t c = 0;
    for (int k = 0; k <= kLanes; ++k) {
        jump.multiplier[k] = a;
        jump.increment[k] = c;
        a = (a * Lcg24::kMultiplier) & Lcg24::kMask;
        c = (c * Lcg24::kMultiplier + Lcg24::kIncrement) & Lcg24::kMask;
    }
    return jump;
}

constexpr Jump kJump = makeJump();

} // namespace

void Lcg24::fillStates(std::uint32_t* out, std::size_t count) {
    std::size_t i = 0;
    if (count >= kLanes) {
        // lane[k] holds the state k + 1 steps ahead of the current one.
        std::uint32_t lane[kLanes];
        for (int k = 0; k < kLanes; ++k)
            lane[k] = (state_ * kJump.multiplier[k + 1] + kJump.increment[k + 1]) & kMask;
        const std::uint32_t a = kJump.multiplier[kLanes];
        const std::uint32_t c = kJump.increment[kLanes];
        for (;;) {
            for (int k = 0; k < kLanes; ++k) out[i + k] = lane[k];
            i += kLanes;
            state_ = lane[kLanes - 1];
            if (count - i < kLanes) break;
            for (int k = 0; k < kLanes; ++k) lane[k] = (lane[k] * a + c) & kMask;
        }
    }
    for (; i < count; ++i) {
        state_ = (state_ * kMultiplier + kIncrement) & kMask;
        out[i] = state_;
    }
}

void Lcg24::fill(float* out, std::size_t count) {
    // In place: each state becomes its number, which needs no more room than the state.
    static_assert(sizeof(float) == sizeof(std::uint32_t));
    std::uint32_t state[kLanes * 32];
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(count - done, std::size_t(kLanes * 32));
        fillStates(state, n);
        for (std::size_t i = 0; i < n; ++i)
            out[done + i] = static_cast<float>(state[i]) * (1.0f / 16777216.0f);
        done += n;
    }
}

} // namespace vexa::effects
