#include "editor/EffectRun.h"

#include "effects/QImageEffect.h"

namespace vexa::editor {

effects::EffectEngine& programEffectEngine() {
    static effects::EffectEngine engine;
    return engine;
}

EffectRunner engineEffectRunner(effects::EffectEngine& engine) {
    return [&engine](std::int32_t effectId, QImage& picture, std::int32_t parameter,
                     std::int32_t& progress, const effects::YieldHook& yield) {
        return effects::applyEffect(engine, picture, effectId, parameter, progress, yield);
    };
}

} // namespace vexa::editor
