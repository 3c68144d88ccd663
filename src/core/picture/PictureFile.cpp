#include "core/picture/PictureFile.h"

#include "core/base/Log.h"
#include "core/base/RegularFileRead.h"
#include "core/base/Sha256.h"
#include "core/picture/BmpBitfieldReader.h"
#include "core/picture/ColourProfile.h"
#include "core/picture/JpegPassThrough.h"
#include "core/picture/PictureHeaderSize.h"
#include "core/picture/PictureIntegrity.h"
#include "core/picture/PictureIntegrityGif.h"
#include "core/picture/PictureIntegrityJpeg.h"
#include "core/picture/PictureMetadata.h"
#include "core/picture/PictureOnWhite.h"
#include "core/picture/PictureOrientation.h"
#include "core/picture/PngPicture.h"
#include "core/picture/TiffPicture.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <cstdint>
#include <cstring>
#include <limits>

#include <unistd.h>

namespace vexa::picture {

namespace {

constexpr int kAllocationLimitMB = 2048;

// Qt's limit is one variable for the whole process. It is set while the program starts,
// before any thread runs, so that loads on a worker only ever read it, as the window's
// thread does when it decodes its own pictures.
[[maybe_unused]] const bool kAllocationLimitSet = [] {
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    return true;
}();

LoadedPicture refusal(const QString& reason, QString* why) {
    if (why) *why = reason;
    return {};
}

QString overBudgetText(const DeclaredSize& size) {
    return QStringLiteral("The picture is %1 x %2 pixels (%3 megapixels); VEXA reads "
                          "pictures of up to %4 megapixels.")
        .arg(size.width)
        .arg(size.height)
        .arg(size.pixels() / 1'000'000)
        .arg(kMaxPicturePixels / 1'000'000);
}

// The formats VEXA reads itself, by their first bytes; Qt's names.
QByteArray ownFormat(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xD8")) return QByteArrayLiteral("jpeg");
    if (bytes.startsWith("\x89PNG\r\n\x1A\n")) return QByteArrayLiteral("png");
    if (bytes.startsWith(QByteArrayView("II*\0", 4)) ||
        bytes.startsWith(QByteArrayView("MM\0*", 4)) ||
        bytes.startsWith(QByteArrayView("II+\0", 4)) ||
        bytes.startsWith(QByteArrayView("MM\0+", 4)))
        return QByteArrayLiteral("tiff");
    return {};
}

// A JPEG a page takes as its own data, to the size its markers declare.
bool passesThrough(const QByteArray& bytes, const JpegLayout& layout) {
    const std::optional<JpegFrame> frame = passThroughJpegFrame(bytes);
    return frame && std::uint32_t(frame->width) == layout.width &&
           std::uint32_t(frame->height) == layout.height;
}

// The pixels of a JPEG, decoded once with the damage checks, or only checked for a picture
// that goes into a page as it is; a refusal for a progressive file whose scans would take too
// long.
LoadedPicture readJpeg(const QByteArray& bytes, QString* why, Decoding decoding) {
    const std::optional<JpegLayout> layout = jpegStructure(bytes);
    if (!layout) return {};
    if (jpegScanPixels(*layout) > kMaxJpegScanPixels)
        return refusal(QStringLiteral("The picture is a progressive JPEG of %1 scans over %2 "
                                      "megapixels; VEXA reads progressive JPEGs of up to %3 "
                                      "megapixels of scans in all.")
                           .arg(layout->scans)
                           .arg(qint64(layout->width) * layout->height / 1'000'000)
                           .arg(kMaxJpegScanPixels / 1'000'000),
                       why);
    LoadedPicture picture;
    if (decoding == Decoding::NotForPassThrough && passesThrough(bytes, *layout)) {
        if (jpegDecodesCleanly(bytes, *layout))
            picture.undecodedSize = QSize(int(layout->width), int(layout->height));
        return picture;
    }
    picture.pixels = decodeJpegPicture(bytes, *layout);
    return picture;
}

QImage readWithQt(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false); // the orientation is applied once, for every format alike
    return reader.read();
}

// Pictures Qt's readers decode, after the checks of PictureIntegrity.h.
QImage readCheckedWithQt(const QByteArray& bytes) {
    if (!isPictureDataComplete(bytes)) return {};
    if (const std::optional<QImage> bitfields = readBitfieldBmp(bytes)) return *bitfields;
    if (bytes.startsWith("GIF")) {
        // The first frame shown whole, where Qt's reader would cut it to the screen.
        const QByteArray grown = gifWithCanvasScreen(bytes);
        return grown.isEmpty() ? QImage() : readWithQt(grown);
    }
    return readWithQt(bytes);
}

// The pixels in sRGB: through the file's ICC profile, or the colours a PNG's gAMA and cHRM
// chunks describe. Untagged afterwards, so that no writer stores the file's profile with
// pixels no longer in its colours.
QImage inSrgb(const QImage& pixels, const PictureMetadata& metadata) {
    QImage untagged = pixels;
    untagged.setColorSpace(QColorSpace());
    if (!metadata.iccProfile.isEmpty()) return convertedToSrgb(untagged, metadata.iccProfile);
    if (!metadata.pngColourSpace.isValid()) return untagged;
    untagged.setColorSpace(metadata.pngColourSpace);
    return untaggedSrgb(untagged);
}

// The name as the process's working folder makes it absolute, so that it still names the
// file once the working folder changed (a project read elsewhere).
base::FilePath absoluteName(const base::FilePath& path) {
    if (path.bytes().startsWith('/')) return path;
    QByteArray folder(4096, '\0');
    if (::getcwd(folder.data(), std::size_t(folder.size())) == nullptr) return path;
    folder.truncate(qsizetype(std::strlen(folder.constData())));
    return base::FilePath::fromBytes(folder + '/' + path.bytes());
}

} // namespace

QImage loadPictureFile(const QString& path) {
    return loadPictureFile(base::FilePath::fromText(path));
}

QImage loadPictureFile(const base::FilePath& path) {
    return readPictureFile(path).pixels;
}

QImage loadPictureData(const QByteArray& bytes) {
    return readPictureData(bytes).pixels;
}

LoadedPicture readPictureFile(const base::FilePath& path, QString* refusal, Decoding decoding) {
    const std::optional<QByteArray> bytes = base::readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes) {
        qCDebug(base::lcPicture) << "no regular file of at most 1 GiB:" << path.text();
        return {};
    }
    QString reason;
    LoadedPicture picture = readPictureData(*bytes, &reason, decoding);
    if (picture.isNull()) {
        qCDebug(base::lcPicture) << "refused" << path.text() << reason;
    } else {
        qCDebug(base::lcPicture) << "read" << path.text() << picture.format << picture.size()
                                 << (picture.isDecoded() ? "decoded" : "checked, not decoded");
        picture.origin = PictureOrigin{absoluteName(path), bytes->size(), base::sha256(*bytes)};
    }
    if (refusal) *refusal = reason;
    return picture;
}

LoadedPicture readPictureData(const QByteArray& bytes, QString* why, Decoding decoding) {
    QByteArray copy = bytes; // shares the data; QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray own = ownFormat(bytes);
    // Asked before reading: afterwards the reader forgets.
    const QByteArray format = own.isEmpty() ? reader.format() : own;
    // The size from the header, before anything is decoded; for formats VEXA does not know,
    // from Qt's reader (every reader VEXA uses gives it), and Qt's allocation limit bounds the
    // decoding of one that does not; the size is checked again once it is known.
    std::optional<DeclaredSize> declared = declaredPictureSize(bytes);
    if (!declared && own.isEmpty() && reader.size().isValid())
        declared = DeclaredSize{reader.size().width(), reader.size().height()};
    if (declared && declared->pixels() > std::uint64_t(kMaxPicturePixels))
        return refusal(overBudgetText(*declared), why);
    LoadedPicture picture;
    if (own == "jpeg")
        picture = readJpeg(bytes, why, decoding);
    else if (own == "png")
        picture.pixels = readPngPicture(bytes);
    else if (own == "tiff")
        picture.pixels = readTiffPicture(bytes);
    else
        picture.pixels = readCheckedWithQt(bytes);
    if (picture.isNull()) return {};
    const PictureMetadata metadata = readPictureMetadata(bytes);
    picture.orientation = metadata.orientation;
    picture.iccProfile = metadata.iccProfile;
    if (!picture.isDecoded()) {
        picture.undecodedSize = uprightSize(picture.undecodedSize, picture.orientation);
        picture.bytes = bytes;
        picture.format = format;
        return picture;
    }
    const DeclaredSize size{picture.pixels.width(), picture.pixels.height()};
    if (size.pixels() > std::uint64_t(kMaxPicturePixels)) return refusal(overBudgetText(size), why);
    putOnWhite(picture.pixels);
    if (picture.pixels.isNull()) return {};
    picture.pixels = inSrgb(picture.pixels, metadata);
    picture.pixels = uprightPicture(picture.pixels, picture.orientation);
    if (picture.pixels.isNull()) return {};
    picture.bytes = bytes;
    picture.format = format;
    return picture;
}

bool fillInPixels(LoadedPicture& record, const QByteArray& bytes, const QImage& pixels) {
    // The same bytes, not only equal ones: a record read from another file stays as it is.
    if (record.isDecoded() || record.undecodedSize.isEmpty() || bytes.isEmpty() ||
        record.bytes.constData() != bytes.constData() || record.undecodedSize != pixels.size())
        return false;
    record.pixels = pixels;
    record.undecodedSize = QSize();
    return true;
}

} // namespace vexa::picture
