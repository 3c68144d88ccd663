#include "core/cover/PageImage.h"

namespace vexa::cover {

PageImage PageImage::fromPicture(QImage pixels, const QByteArray& bytes, const QByteArray& format,
                                 bool changed) {
    PageImage image(std::move(pixels));
    if (changed || format != "jpeg" || bytes.isEmpty() || image.isNull()) return image;
    const std::optional<picture::JpegFrame> frame = picture::passThroughJpegFrame(bytes);
    // The picture is read without applying an EXIF orientation, so its pixels stand as the
    // data stores them, as a PDF reader shows them; a picture of another size is not what the
    // data holds.
    if (!frame || QSize(frame->width, frame->height) != image.m_pixels.size()) return image;
    image.m_jpeg = bytes;
    image.m_frame = frame;
    return image;
}

PageImage PageImage::cropped(const QRectF& part) const {
    PageImage image = *this;
    const QRectF whole(0, 0, 1, 1);
    const QRectF inside = part.intersected(whole);
    // An empty or inverted part would make the page's drawing matrix singular.
    image.m_part = inside.isEmpty() ? whole : inside;
    return image;
}

PageImage PageImage::fromPicture(const picture::LoadedPicture& picture) {
    if (picture.isDecoded())
        return fromPicture(picture.pixels, picture.bytes, picture.format, picture.changed);
    PageImage image;
    const std::optional<picture::JpegFrame> frame =
        picture.format == "jpeg" ? picture::passThroughJpegFrame(picture.bytes) : std::nullopt;
    if (picture.changed || !frame || QSize(frame->width, frame->height) != picture.undecodedSize)
        return image;
    image.m_jpeg = picture.bytes;
    image.m_frame = frame;
    return image;
}

QSize PageImage::size() const {
    return m_frame ? QSize(m_frame->width, m_frame->height) : m_pixels.size();
}

} // namespace vexa::cover
