#include "effects/QImageEffect.h"

#include "effects/PixelBuffer.h"

namespace vexa::effects {

namespace {

// A new RGB32 picture of this size in a buffer of the engine's, which the kernel can back with
// huge pages: for a picture of many megapixels, filling fresh memory page by page costs far
// more than the effect itself. Null when there is not enough memory.
QImage enginePicture(int w, int h) {
    std::unique_ptr<PixelBuffer> buffer = PixelBuffer::tryCreate(w, h);
    if (!buffer) return {};
    PixelBuffer* owner = buffer.get();
    QImage copy(
        owner->data(), w, h, owner->stride(), QImage::Format_RGB32,
        [](void* info) { delete static_cast<PixelBuffer*>(info); }, owner);
    if (!copy.isNull()) buffer.release(); // the picture owns it now
    return copy;
}

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
    if (image.isNull() || (image.format() == QImage::Format_RGB32 && image.isDetached()))
        return runOn(engine, image, effectId, parameter, progress, yield);
    if (image.format() == QImage::Format_RGB32) {
        // Shared, so it must stay as it is: the effect writes a new picture from it.
        QImage result = enginePicture(image.width(), image.height());
        if (result.isNull())
            return {EffectStatus::Refused, "There is not enough memory to copy the picture"};
        const SourceView source{image.constBits(), image.width(), image.height(),
                                image.bytesPerLine()};
        const PictureView target{result.bits(), result.width(), result.height(),
                                 result.bytesPerLine()};
        const EffectResult outcome =
            applyEffect(engine, effectId, source, target, parameter, progress, yield);
        if (outcome.status == EffectStatus::Done) image = std::move(result);
        return outcome;
    }
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.isNull())
        return {EffectStatus::Refused, "There is not enough memory to convert the picture"};
    EffectResult result = runOn(engine, converted, effectId, parameter, progress, yield);
    if (result.status == EffectStatus::Done) image = std::move(converted);
    return result;
}

} // namespace vexa::effects
