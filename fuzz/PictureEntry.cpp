#include "FuzzEntries.h"

#include "core/picture/JpegPassThrough.h"
#include "core/picture/PictureFile.h"
#include "core/picture/PictureHeaderSize.h"
#include "core/picture/PictureIntegrity.h"

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
    const std::optional<picture::DeclaredSize> declared = picture::declaredPictureSize(bytes);
    if (declared && declared->pixels() > std::uint64_t(kMaxDecodedPixels)) {
        picture::isPictureDataComplete(bytes);
        return 0;
    }
    const QImage picture = picture::loadPictureData(bytes);
    // A print job's check of a JPEG it does not decode refuses what the decoding refuses.
    const picture::LoadedPicture checked =
        picture::readPictureData(bytes, nullptr, picture::Decoding::NotForPassThrough);
    if (checked.isNull() != picture.isNull() ||
        (!checked.isNull() && checked.size() != picture.size()))
        __builtin_trap();
    if (picture.isNull()) return 0;
    if (picture.width() <= 0 || picture.height() <= 0 || picture.hasAlphaChannel())
        __builtin_trap();
    // The size the pixel budget was checked against is the size read.
    if (declared && (declared->width != picture.width() || declared->height != picture.height()))
        __builtin_trap();
    return 0;
}

} // namespace vexa::fuzz
