#pragma once

// What one effect works on while it runs: the picture as it was, the picture it writes, and
// the progress cell with its yield hook. Internal to the engine; the public interface is
// Effects.h.

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
    // The picture as it was. In place, the engine's copy: a row's copy is there once the row
    // pass (RowPass.h) has saved it, from the start of the row itself and of the rows the pass
    // says it reads around it. When the engine writes a new picture, the caller's source,
    // whole from the start.
    const std::uint8_t* source = nullptr;
    std::ptrdiff_t sourceStride = 0;
    // The picture the row pass writes: the caller's, in place, or the new one, whose rows the
    // pass fills from the source where in place it would save them.
    std::uint8_t* target = nullptr;
    std::ptrdiff_t targetStride = 0;
    int width = 0;
    int height = 0;
    Progress* progress = nullptr;
    Lcg24* random = nullptr; // the calling engine's sequence, for the effects that draw from it
    RowPass* rows = nullptr; // runs the rows, saving each before it is written
    bool newPicture = false; // the target is a new picture and the source the caller's

    const std::uint8_t* sourceRow(int y) const { return source + y * sourceStride; }
    std::uint8_t* targetRow(int y) const { return target + y * targetStride; }
    // The picture before the row pass has written anything: for statistics of the whole
    // picture that an effect gathers first.
    const std::uint8_t* unchangedRow(int y) const {
        return newPicture ? sourceRow(y) : target + y * targetStride;
    }
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
