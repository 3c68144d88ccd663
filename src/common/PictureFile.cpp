#include "PictureFile.h"

#include "PictureIntegrity.h"
#include "RegularFileRead.h"

#include <QBuffer>
#include <QImageReader>

#include <mutex>

namespace vexa {

namespace {
constexpr int kAllocationLimitMB = 2048;
}

QImage loadPictureFile(const QString& path) {
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes) return {};
    return loadPictureData(*bytes);
}

QImage loadPictureData(const QByteArray& bytes) {
    // The limit is Qt's global; it is set once, as loads may run on several threads.
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(kAllocationLimitMB); });
    if (!isPictureDataComplete(bytes)) return {};
    QByteArray copy = bytes; // shares the data; QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace vexa
