#include "core/picture/PictureFile.h"

#include "core/base/Log.h"
#include "core/base/RegularFileRead.h"
#include "core/base/Sha256.h"
#include "core/picture/BmpBitfieldReader.h"
#include "core/picture/PictureBytes.h"
#include "core/picture/PictureIntegrity.h"
#include "core/picture/PictureOnWhite.h"

#include <QBuffer>
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

bool overBudget(QSize size) {
    return qint64(size.width()) * size.height() > kMaxPicturePixels;
}

LoadedPicture refusedForSize(QSize size, QString* refusal) {
    if (!refusal) return {};
    *refusal = QStringLiteral("The picture is %1 x %2 pixels (%3 megapixels); VEXA reads "
                              "pictures of up to %4 megapixels.")
                   .arg(size.width())
                   .arg(size.height())
                   .arg(qint64(size.width()) * size.height() / 1'000'000)
                   .arg(kMaxPicturePixels / 1'000'000);
    return {};
}

// The size a Windows bitmap's header declares, for headers Qt's reader turns down before it
// gives a size (over about 268 megapixels): a refusal should still name the size.
QSize declaredBitmapSize(const QByteArray& bytes) {
    if (!bytes.startsWith("BM") || bytes.size() < 26) return {};
    if (le32(bytes, 14) == 12) // the old OS/2 header: 16-bit sizes
        return QSize(static_cast<int>(le16(bytes, 18)), static_cast<int>(le16(bytes, 20)));
    const auto width = static_cast<std::int32_t>(le32(bytes, 18));
    const auto height = static_cast<std::int32_t>(le32(bytes, 22)); // negative: top-down
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) return {};
    return QSize(width, height < 0 ? -height : height);
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

LoadedPicture readPictureFile(const base::FilePath& path, QString* refusal) {
    const std::optional<QByteArray> bytes = base::readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes) {
        qCDebug(base::lcPicture) << "no regular file of at most 1 GiB:" << path.text();
        return {};
    }
    QString reason;
    LoadedPicture picture = readPictureData(*bytes, &reason);
    if (picture.isNull()) {
        qCDebug(base::lcPicture) << "refused" << path.text() << reason;
    } else {
        qCDebug(base::lcPicture) << "read" << path.text() << picture.format
                                 << picture.pixels.size();
        picture.origin = PictureOrigin{absoluteName(path), bytes->size(), base::sha256(*bytes)};
    }
    if (refusal) *refusal = reason;
    return picture;
}

LoadedPicture readPictureData(const QByteArray& bytes, QString* refusal) {
    QByteArray copy = bytes; // shares the data; QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    LoadedPicture picture;
    picture.format = reader.format(); // asked before reading: afterwards the reader forgets
    // Every reader VEXA uses gives the size from the header; for one that does not, Qt's
    // allocation limit bounds the decoding, and the size is checked once it is known.
    QSize declared = reader.size();
    if (!declared.isValid()) declared = declaredBitmapSize(bytes);
    if (declared.isValid() && overBudget(declared)) return refusedForSize(declared, refusal);
    if (!isPictureDataComplete(bytes)) return {};
    const std::optional<QImage> bitfields = readBitfieldBmp(bytes);
    picture.pixels = bitfields ? *bitfields : reader.read();
    if (picture.pixels.isNull()) return {};
    if (overBudget(picture.pixels.size())) return refusedForSize(picture.pixels.size(), refusal);
    picture.pixels = onWhite(picture.pixels);
    if (picture.pixels.isNull()) return {};
    picture.bytes = bytes;
    return picture;
}

} // namespace vexa::picture
