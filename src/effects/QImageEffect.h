#pragma once

// Runs an effect of the engine on a QImage: the bridge between Qt pictures and the
// engine's plain pixel views.

#include "effects/Effects.h"

#include <QImage>

namespace vexa::effects {

// Applies effect `effectId` to `image`. A picture in another format is converted to
// Format_RGB32 first; `image` is replaced (and then holds Format_RGB32) only when the
// effect completes, so a refused, cancelled or busy call leaves it exactly as it was.
EffectResult applyEffect(EffectEngine& engine, QImage& image, std::int32_t effectId,
                         std::int32_t parameter, std::int32_t& progress,
                         const YieldHook& yield = {});

} // namespace vexa::effects
