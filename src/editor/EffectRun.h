#pragma once

#include "effects/Effects.h"

#include <QImage>

#include <cstdint>
#include <functional>

namespace vexa::editor {

// Runs one numbered effect on a picture in place, reporting progress and yielding after each row.
// The window takes one of these so that its busy state and cancelling can be tried on effects of
// known behaviour; the program always uses the effect engine.
using EffectRunner = std::function<effects::EffectResult(
    std::int32_t effectId, QImage& picture, std::int32_t parameter, std::int32_t& progress,
    const effects::YieldHook& yield)>;

// The engine the Cover Manipulator windows of one program run share: its random sequence runs
// on from one window to the next, as it does from one effect to the next.
effects::EffectEngine& programEffectEngine();

// The effect engine.
EffectRunner engineEffectRunner(effects::EffectEngine& engine = programEffectEngine());

} // namespace vexa::editor
