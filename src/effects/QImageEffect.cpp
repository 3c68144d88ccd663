#include "effects/QImageEffect.h"

#include "effects/PixelBuffer.h"

#include <memory>
#include <mutex>
#include <utility>

namespace vexa::effects {

namespace {

// The buffer of the last picture of the engine's that the program dropped, kept for the next
// one: its pages are in place, so a new picture does not wait for the system to clear fresh
// memory, which takes about as long as the quickest effects. The system may still take the
// memory back while it waits (PixelBuffer::release). Whichever thread drops a picture hands
// its buffer here; the larger of two is kept. Never destroyed, as a picture may be dropped
// while the program ends.
class SpareBuffer {
public:
    static SpareBuffer& instance() {
        static SpareBuffer* const spare = new SpareBuffer;
        return *spare;
    }

    std::unique_ptr<PixelBuffer> take(int w, int h) {
        {
            const std::lock_guard lock(mutex_);
            if (buffer_ && buffer_->reshape(w, h)) return std::move(buffer_);
        }
        return PixelBuffer::tryCreate(w, h);
    }

    void keep(std::unique_ptr<PixelBuffer> buffer) {
        buffer->release();
        const std::lock_guard lock(mutex_);
        if (!buffer_ || buffer_->capacity() < buffer->capacity()) std::swap(buffer_, buffer);
        // the smaller one goes with `buffer`
    }

private:
    std::mutex mutex_;
    std::unique_ptr<PixelBuffer> buffer_;
};

// A new RGB32 picture of this size in a buffer of the engine's, which the kernel can back with
// huge pages: for a picture of many megapixels, filling fresh memory page by page costs far
// more than the effect itself. Null when there is not enough memory.
QImage enginePicture(int w, int h) {
    std::unique_ptr<PixelBuffer> buffer = SpareBuffer::instance().take(w, h);
    if (!buffer) return {};
    PixelBuffer* owner = buffer.get();
    QImage picture(
        owner->data(), w, h, owner->stride(), QImage::Format_RGB32,
        [](void* info) {
            SpareBuffer::instance().keep(
                std::unique_ptr<PixelBuffer>(static_cast<PixelBuffer*>(info)));
        },
        owner);
    if (!picture.isNull()) buffer.release(); // the picture owns it now
    return picture;
}

} // namespace

EffectResult applyEffect(EffectEngine& engine, QImage& image, std::int32_t effectId,
                         std::int32_t parameter, std::int32_t& progress, const YieldHook& yield) {
    if (image.isNull()) {
        const PictureView none;
        return applyEffect(engine, effectId, none, parameter, progress, yield);
    }
    // The effect writes a new picture from the old one, which stays as it is (the caller may
    // share it, and keeps it if the effect does not complete): no row needs saving.
    QImage converted;
    if (image.format() != QImage::Format_RGB32) {
        converted = image.convertToFormat(QImage::Format_RGB32);
        if (converted.isNull())
            return {EffectStatus::Refused, "There is not enough memory to convert the picture"};
    }
    const QImage& from = converted.isNull() ? image : converted;
    QImage result = enginePicture(from.width(), from.height());
    if (result.isNull())
        return {EffectStatus::Refused, "There is not enough memory for the effect's picture"};
    const SourceView source{from.constBits(), from.width(), from.height(), from.bytesPerLine()};
    const PictureView target{result.bits(), result.width(), result.height(), result.bytesPerLine()};
    const EffectResult outcome =
        applyEffect(engine, effectId, source, target, parameter, progress, yield);
    if (outcome.status == EffectStatus::Done) image = std::move(result);
    return outcome;
}

} // namespace vexa::effects
