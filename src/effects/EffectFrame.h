#pragma once

// What one effect works on while it runs: the caller's picture as the read-only source,
// the engine's target buffer, and the progress cell with its yield hook. Internal to the
// engine; the public interface is Effects.h.

#include "effects/Effects.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace vexa::effects {

// Stores percentages in the caller's progress cell and hands control to the yield hook.
class Progress {
public:
    Progress(std::int32_t& cell, const YieldHook& hook) : cell_(cell), hook_(hook) {}

    // Stores `percent` and yields; false when the hook asks the effect to stop.
    bool report(std::int32_t percent) {
        cell_ = percent;
        return !hook_ || hook_();
    }

    // Stores `percent` without yielding.
    void store(std::int32_t percent) { cell_ = percent; }

    // After row `row` (1-based) of `rows`: base + row x span \ rows. 64-bit, so a very tall
    // picture cannot overflow the product.
    bool afterRow(std::int64_t row, std::int64_t rows, std::int32_t base = 0,
                  std::int32_t span = 100) {
        return report(static_cast<std::int32_t>(base + row * span / rows));
    }

private:
    std::int32_t& cell_;
    const YieldHook& hook_;
};

class RowPass;

// Rows are 0-based here; the formulas of the effects count from 1, and each effect says so
// where it converts.
struct Frame {
    // The engine's copy of the picture as it was. A row's copy is there once the row pass
    // (RowPass.h) has saved it: from the start of the row itself and of the rows the pass
    // says it reads around it.
    const std::uint8_t* source = nullptr;
    std::ptrdiff_t sourceStride = 0;
    std::uint8_t* target = nullptr; // the caller's picture, written in place by the row pass
    std::ptrdiff_t targetStride = 0;
    int width = 0;
    int height = 0;
    Progress* progress = nullptr;
    Lcg24* random = nullptr; // the calling engine's sequence, for the effects that draw from it
    RowPass* rows = nullptr; // runs the rows, saving each before it is written

    const std::uint8_t* sourceRow(int y) const { return source + y * sourceStride; }
    std::uint8_t* targetRow(int y) const { return target + y * targetStride; }
    // The picture before the row pass has written anything: for statistics of the whole
    // picture that an effect gathers first.
    const std::uint8_t* unchangedRow(int y) const { return target + y * targetStride; }
};

// The result of an effect that did not finish.
inline EffectResult cancelled() {
    return {EffectStatus::Cancelled, {}};
}
inline EffectResult refused(std::string reason) {
    return {EffectStatus::Refused, std::move(reason)};
}
inline EffectResult done() {
    return {};
}

// Every effect takes the frame and the parameter; those without a parameter ignore it.
using EffectFunction = EffectResult (*)(const Frame& frame, std::int32_t parameter);

} // namespace vexa::effects
