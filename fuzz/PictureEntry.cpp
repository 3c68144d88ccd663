#include "FuzzEntries.h"

#include "core/picture/JpegPassThrough.h"
#include "core/picture/PictureFile.h"
#include "core/picture/PictureIntegrity.h"

#include <QBuffer>
#include <QImageReader>

namespace vexa::fuzz {

namespace {
// Larger pictures are only checked, not decoded: filling big canvases would spend the
// fuzzing time in memset instead of in the parsers.
constexpr qint64 kMaxDecodedPixels = qint64(16) << 20;
} // namespace

int pictureEntry(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // The print job's reading of JPEG markers, which decides what goes into a page as it is.
    if (const std::optional<picture::JpegFrame> frame = picture::passThroughJpegFrame(bytes)) {
        if (frame->width <= 0 || frame->height <= 0 ||
            (frame->components != 1 && frame->components != 3))
            __builtin_trap();
    }
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader probe(&buffer);
    const QSize declared = probe.size();
    if (qint64(declared.width()) * declared.height() > kMaxDecodedPixels) {
        picture::isPictureDataComplete(bytes);
        return 0;
    }
    const QImage picture = picture::loadPictureData(bytes);
    if (!picture.isNull() && (picture.width() <= 0 || picture.height() <= 0)) __builtin_trap();
    return 0;
}

} // namespace vexa::fuzz
