#include "QImageEffect.h"

namespace vexa::effects {

namespace {

EffectResult runOn(EffectEngine& engine, QImage& picture, std::int32_t effectId,
                   std::int32_t parameter, std::int32_t& progress, const YieldHook& yield) {
    PictureView view;
    if (!picture.isNull()) {
        view.pixels = picture.bits(); // makes the pixels our own if they were shared
        if (!view.pixels)
            return {EffectStatus::Refused, "There is not enough memory for the picture"};
        view.width = picture.width();
        view.height = picture.height();
        view.stride = picture.bytesPerLine();
    }
    return applyEffect(engine, effectId, view, parameter, progress, yield);
}

} // namespace

EffectResult applyEffect(EffectEngine& engine, QImage& image, std::int32_t effectId,
                         std::int32_t parameter, std::int32_t& progress, const YieldHook& yield) {
    if (image.isNull() || image.format() == QImage::Format_RGB32)
        return runOn(engine, image, effectId, parameter, progress, yield);
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.isNull())
        return {EffectStatus::Refused, "There is not enough memory to convert the picture"};
    EffectResult result = runOn(engine, converted, effectId, parameter, progress, yield);
    if (result.status == EffectStatus::Done) image = std::move(converted);
    return result;
}

} // namespace vexa::effects
