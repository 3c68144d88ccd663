#include "imageio/ImageEncoders.h"

#include "imageio/AtomicFile.h"
#include "imageio/GifEncoder.h"

#include <QImageWriter>

namespace vexa::imageio {

namespace {

WriteStatus statusOf(QImageWriter::ImageWriterError error) {
    switch (error) {
    case QImageWriter::DeviceError:
        return WriteStatus::WriteFailed;
    case QImageWriter::InvalidImageError:
        return WriteStatus::NoPicture;
    case QImageWriter::UnsupportedFormatError:
    case QImageWriter::UnknownError:
        break;
    }
    return WriteStatus::EncoderFailed;
}

WriteStatus writeWithQt(const QImage& picture, QIODevice& out, const char* format, int quality,
                        int compression) {
    QImageWriter writer(&out, format);
    if (quality >= 0) writer.setQuality(quality);
    if (compression >= 0) writer.setCompression(compression);
    return writer.write(picture) ? WriteStatus::Written : statusOf(writer.error());
}

WriteStatus encodeBmp(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    return writeWithQt(picture, out, "bmp", -1, -1);
}

WriteStatus encodeJpeg(const QImage& picture, QIODevice& out, std::optional<qint32> quality) {
    // Without a quality the library's own default applies; a value outside 0 ... 100 is a
    // caller's mistake, not something to clamp silently.
    if (quality && (*quality < 0 || *quality > 100)) return WriteStatus::InvalidQuality;
    return writeWithQt(picture, out, "jpeg", quality.value_or(-1), -1);
}

WriteStatus encodeGifFile(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    return encodeGif(picture, out);
}

WriteStatus encodeTiff(const QImage& picture, QIODevice& out, std::optional<qint32>) {
    // LZW (compression 1): what other programs expect of a TIFF from a desktop program.
    return writeWithQt(picture, out, "tiff", -1, 1);
}

WriteStatus encodePng(const QImage& picture, QIODevice& out, std::optional<qint32>) {
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

WriteResult writeImageFile(const ImageEncoder& encoder, const QImage& picture,
                           const base::FilePath& path, std::optional<qint32> quality) {
    AtomicFile file(path);
    if (const WriteResult opened = file.open(); !opened) return opened;
    const WriteStatus status = encoder.encode(picture, file.device(), quality);
    if (status == WriteStatus::Written) return file.commit();
    // Qt's writers report a refused write as an unknown error; the file knows better.
    if (const WriteResult refused = file.deviceFailure();
        status == WriteStatus::WriteFailed || refused.systemError != 0)
        return refused;
    return {status, 0};
}

WriteResult writeBitmapFile(const QImage& picture, const base::FilePath& path) {
    return writeImageFile({"BMP", "*.BMP", encodeBmp}, picture, path, std::nullopt);
}

WriteResult writeBitmapFile(const QImage& picture, const QString& path) {
    return writeBitmapFile(picture, base::FilePath::fromText(path));
}

} // namespace vexa::imageio
