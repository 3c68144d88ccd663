#include "PictureFile.h"

#include "PictureIntegrity.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace vexa {

namespace {
constexpr int kAllocationLimitMB = 2048;
}

QImage loadPictureFile(const QString& path) {
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || !isPictureDataComplete(bytes)) return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    return picture;
}

} // namespace vexa
