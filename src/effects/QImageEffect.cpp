#include "effects/QImageEffect.h"

#include "effects/PixelBuffer.h"

#include <cstring>

namespace vexa::effects {

namespace {

// A copy of an RGB32 picture in a buffer of the engine's, which the kernel can back with huge
// pages: for a picture of many megapixels, filling fresh memory page by page costs far more
// than the copying itself. Null when there is not enough memory.
QImage engineCopy(const QImage& picture) {
    const int w = picture.width();
    const int h = picture.height();
    std::unique_ptr<PixelBuffer> buffer = PixelBuffer::tryCreate(w, h);
    if (!buffer) return {};
    for (int y = 0; y < h; ++y)
        std::memcpy(buffer->data() + y * buffer->stride(), picture.constScanLine(y),
                    std::size_t(w) * 4);
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
    if (image.format() == QImage::Format_RGB32) { // shared: work on a copy of our own
        QImage copy = engineCopy(image);
        if (copy.isNull())
            return {EffectStatus::Refused, "There is not enough memory to copy the picture"};
        EffectResult result = runOn(engine, copy, effectId, parameter, progress, yield);
        if (result.status == EffectStatus::Done) image = std::move(copy);
        return result;
    }
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.isNull())
        return {EffectStatus::Refused, "There is not enough memory to convert the picture"};
    EffectResult result = runOn(engine, converted, effectId, parameter, progress, yield);
    if (result.status == EffectStatus::Done) image = std::move(converted);
    return result;
}

} // namespace vexa::effects
