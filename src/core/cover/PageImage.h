#pragma once

#include "core/picture/JpegPassThrough.h"
#include "core/picture/PictureFile.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <optional>

namespace vexa::cover {

// A picture as a page holds it: its pixels, and, when its file's JPEG data shows exactly these
// pixels, that data, which then goes into a PDF page as it is instead of the pixels. Copies
// share their data.
class PageImage {
public:
    PageImage() = default;
    // Pixels only: they go into a PDF losslessly.
    explicit PageImage(QImage pixels) : m_pixels(std::move(pixels)) {}

    // A picture read from a file: `bytes` in `format` ("jpeg", "png", ... as Qt names it), its
    // upright sRGB `pixels` (see picture::LoadedPicture).
    // An unchanged JPEG whose data any PDF reader decodes as the file's decoder did (see
    // passThroughJpegFrame), to the size of `pixels` once its EXIF orientation stands it
    // upright, keeps its data, with that orientation and its ICC profile; anything else goes in
    // as pixels.
    static PageImage fromPicture(QImage pixels, const QByteArray& bytes, const QByteArray& format,
                                 bool changed);
    // The same for a picture as read; one read without its pixels (see picture::Decoding) keeps
    // only its JPEG data: it has no pixels to draw and goes into a PDF page as that data.
    static PageImage fromPicture(const picture::LoadedPicture& picture);

    // Null for a picture that passes its JPEG data through undecoded.
    const QImage& pixels() const { return m_pixels; }
    // Upright.
    QSize size() const;
    // The JPEG data to embed as it is; empty when the pixels go in.
    const QByteArray& jpegData() const { return m_jpeg; }
    // Its frame, as stored.
    const std::optional<picture::JpegFrame>& jpegFrame() const { return m_frame; }
    // The EXIF orientation of the JPEG data (PictureOrientation.h): a page places the data
    // with its transform. 1 for pixels, which stand upright.
    int jpegOrientation() const { return m_orientation; }
    // The ICC profile of the JPEG data when it describes the data's colours (grey or RGB); a
    // page gives it to the data as an ICCBased colour space. Empty otherwise: the data is taken
    // as sRGB, as pixels are.
    const QByteArray& jpegProfile() const { return m_profile; }
    bool passesJpegThrough() const { return m_frame.has_value(); }
    bool isNull() const { return m_pixels.isNull() && !m_frame; }

    // The part of the picture a page shows of it, in fractions of the picture; (0, 0, 1, 1),
    // the whole picture, unless cropped. The picture itself stays whole (a JPEG keeps its
    // data), and the page clips it to its rectangle.
    const QRectF& part() const { return m_part; }
    bool isCropped() const { return m_part != QRectF(0, 0, 1, 1); }
    // The same picture showing only `part` (within the whole picture).
    PageImage cropped(const QRectF& part) const;

private:
    QImage m_pixels;
    // Keeps the JPEG data when it shows the picture, to its upright `size`.
    void passThrough(const picture::LoadedPicture& picture, QSize size);

    QRectF m_part{0, 0, 1, 1};
    QByteArray m_jpeg;
    std::optional<picture::JpegFrame> m_frame;
    int m_orientation = 1;
    QByteArray m_profile;
};

} // namespace vexa::cover
