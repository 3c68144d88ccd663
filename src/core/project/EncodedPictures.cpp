#include "core/project/EncodedPictures.h"

#include "core/picture/LosslessPng.h"

namespace vexa::project {

QByteArray EncodedPictures::png(const QImage& pixels) {
    const qint64 key = pixels.cacheKey();
    {
        const QMutexLocker lock(&m_mutex);
        if (const auto found = m_png.constFind(key); found != m_png.constEnd()) return *found;
    }
    // Outside the lock: another thread may encode another picture meanwhile.
    const QByteArray png = picture::losslessPng(pixels);
    if (png.isEmpty()) return png;
    const QMutexLocker lock(&m_mutex);
    m_png.insert(key, png);
    return png;
}

void EncodedPictures::keepOnly(const QSet<qint64>& cacheKeys) {
    const QMutexLocker lock(&m_mutex);
    m_png.removeIf([&cacheKeys](const auto& entry) { return !cacheKeys.contains(entry.key()); });
}

qsizetype EncodedPictures::size() const {
    const QMutexLocker lock(&m_mutex);
    return m_png.size();
}

} // namespace vexa::project
