#include "ImageEncoders.h"

#include "GifEncoder.h"

#include <QImageWriter>
#include <QSaveFile>

namespace vexa {

namespace {

GdiStatus statusOf(QImageWriter::ImageWriterError error) {
    switch (error) {
    case QImageWriter::DeviceError:
        return GdiStatus::Win32Error;
    case QImageWriter::UnsupportedFormatError:
        return GdiStatus::UnknownImageFormat;
    case QImageWriter::InvalidImageError:
        return GdiStatus::InvalidParameter;
    case QImageWriter::UnknownError:
        break;
    }
    return GdiStatus::GenericError;
}

GdiStatus writeWithQt(const QImage& picture, QIODevice& out, const char* format, int quality,
                      int compression) {
    QImageWriter writer(&out, format);
    if (quality >= 0) writer.setQuality(quality);
    if (compression >= 0) writer.setCompression(compression);
    return writer.write(picture) ? GdiStatus::Ok : statusOf(writer.error());
}

GdiStatus encodeBmp(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    return writeWithQt(picture, out, "bmp", -1, -1);
}

GdiStatus encodeJpeg(const QImage& picture, QIODevice& out, std::optional<qint32> quality) {
    // Without a quality the library's own default applies; a value outside 0 ... 100 is a
    // caller's mistake, not something to clamp silently.
    if (quality && (*quality < 0 || *quality > 100)) return GdiStatus::InvalidParameter;
    return writeWithQt(picture, out, "jpeg", quality.value_or(-1), -1);
}

GdiStatus encodeGifFile(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    return encodeGif(picture, out);
}

GdiStatus encodeTiff(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    // LZW (compression 1): what other programs expect of a TIFF from a desktop program.
    return writeWithQt(picture, out, "tiff", -1, 1);
}

GdiStatus encodePng(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    return writeWithQt(picture, out, "png", -1, -1);
}

} // namespace

std::vector<ImageEncoder> installedEncoders() {
    const QList<QByteArray> qtFormats = QImageWriter::supportedImageFormats();
    struct Candidate {
        const char* qtFormat; // nullptr: our own encoder, always there
        ImageEncoder encoder;
    };
    const Candidate candidates[] = {
        {"bmp", {"BMP", "*.BMP;*.DIB;*.RLE", encodeBmp}},
        {"jpeg", {"JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", encodeJpeg}},
        {nullptr, {"GIF", "*.GIF", encodeGifFile}},
        {"tiff", {"TIFF", "*.TIF;*.TIFF", encodeTiff}},
        {"png", {"PNG", "*.PNG", encodePng}},
    };
    std::vector<ImageEncoder> encoders;
    for (const Candidate& candidate : candidates) {
        if (!candidate.qtFormat || qtFormats.contains(candidate.qtFormat))
            encoders.push_back(candidate.encoder);
    }
    return encoders;
}

GdiStatus writeImageFile(const ImageEncoder& encoder, const QImage& picture, const QString& path,
                         std::optional<qint32> quality) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return GdiStatus::Win32Error;
    const GdiStatus status = encoder.encode(picture, file, quality);
    if (status != GdiStatus::Ok) {
        file.cancelWriting();
        return status;
    }
    return file.commit() ? GdiStatus::Ok : GdiStatus::Win32Error;
}

GdiStatus writeBitmapFile(const QImage& picture, const QString& path) {
    return writeImageFile({"BMP", "*.BMP", encodeBmp}, picture, path, std::nullopt);
}

} // namespace vexa
