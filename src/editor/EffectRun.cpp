#include "EffectRun.h"

#include "QImageEffect.h"

namespace vexa::editor {

EffectRunner engineEffectRunner() {
    return [](std::int32_t effectId, QImage& picture, std::int32_t parameter,
              std::int32_t& progress, const effects::YieldHook& yield) {
        return effects::applyEffect(picture, effectId, parameter, progress, yield);
    };
}

} // namespace vexa::editor
