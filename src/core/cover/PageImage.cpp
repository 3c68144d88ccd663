#include "core/cover/PageImage.h"

#include "core/picture/ColourProfile.h"
#include "core/picture/PictureMetadata.h"
#include "core/picture/PictureOrientation.h"

namespace vexa::cover {

PageImage PageImage::fromPicture(QImage pixels, const QByteArray& bytes, const QByteArray& format,
                                 bool changed) {
    picture::LoadedPicture read;
    read.pixels = std::move(pixels);
    read.bytes = bytes;
    read.format = format;
    read.changed = changed;
    if (!changed && format == "jpeg") {
        const picture::PictureMetadata metadata = picture::readPictureMetadata(bytes);
        read.orientation = metadata.orientation;
        read.iccProfile = metadata.iccProfile;
    }
    return fromPicture(read);
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
    PageImage image(picture.pixels);
    if (picture.isNull()) return image;
    image.passThrough(picture, picture.size());
    return image;
}

void PageImage::passThrough(const picture::LoadedPicture& picture, QSize size) {
    if (picture.changed || picture.format != "jpeg" || picture.bytes.isEmpty()) return;
    const std::optional<picture::JpegFrame> frame = picture::passThroughJpegFrame(picture.bytes);
    // The data stood upright is the picture; a picture of another size is not what it holds.
    if (!frame ||
        picture::uprightSize(QSize(frame->width, frame->height), picture.orientation) != size)
        return;
    m_jpeg = picture.bytes;
    m_frame = frame;
    m_orientation = picture::normalOrientation(picture.orientation);
    const picture::ProfileColours colours = picture::iccProfileColours(picture.iccProfile);
    if (colours ==
        (frame->components == 1 ? picture::ProfileColours::Grey : picture::ProfileColours::Rgb))
        m_profile = picture.iccProfile;
}

QSize PageImage::size() const {
    return m_frame ? picture::uprightSize(QSize(m_frame->width, m_frame->height), m_orientation)
                   : m_pixels.size();
}

} // namespace vexa::cover
