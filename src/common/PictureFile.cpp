#include "PictureFile.h"

#include "BmpBitfieldReader.h"
#include "PictureIntegrity.h"
#include "PictureOnWhite.h"
#include "RegularFileRead.h"

#include <QBuffer>
#include <QImageReader>

namespace vexa {

namespace {

constexpr int kAllocationLimitMB = 2048;

// Qt's limit is one variable for the whole process. It is set while the program starts,
// before any thread runs, so that loads on a worker only ever read it, as the window's
// thread does when it decodes its own pictures.
[[maybe_unused]] const bool kAllocationLimitSet = [] {
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    return true;
}();

} // namespace

QImage loadPictureFile(const QString& path) {
    return loadPictureFile(FilePath::fromText(path));
}

QImage loadPictureFile(const FilePath& path) {
    return readPictureFile(path).pixels;
}

QImage loadPictureData(const QByteArray& bytes) {
    return readPictureData(bytes).pixels;
}

LoadedPicture readPictureFile(const FilePath& path) {
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes) return {};
    return readPictureData(*bytes);
}

LoadedPicture readPictureData(const QByteArray& bytes) {
    if (!isPictureDataComplete(bytes)) return {};
    QByteArray copy = bytes; // shares the data; QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    LoadedPicture picture;
    picture.format = reader.format(); // asked before reading: afterwards the reader forgets
    const std::optional<QImage> bitfields = readBitfieldBmp(bytes);
    picture.pixels = bitfields ? *bitfields : reader.read();
    if (picture.pixels.isNull()) return {};
    picture.pixels = onWhite(picture.pixels);
    if (picture.pixels.isNull()) return {};
    picture.bytes = bytes;
    return picture;
}

} // namespace vexa
