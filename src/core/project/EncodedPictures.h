#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QSet>

namespace vexa::project {

// The lossless PNG of each picture edited in VEXA, made once per change: Save and the recovery
// copy, which write the whole set again after every change, take it from here instead of
// compressing every edited picture again. Pictures are told apart by their pixels' cache key,
// which changes whenever the pixels do. Safe to use from several threads.
class EncodedPictures {
public:
    // The PNG of `pixels` (see losslessPng), made now unless it was made before. Empty when it
    // cannot be made (memory).
    QByteArray png(const QImage& pixels);

    // Forgets the PNGs of every picture but these (cache keys of their pixels).
    void keepOnly(const QSet<qint64>& cacheKeys);

    // How many PNGs are kept.
    qsizetype size() const;

private:
    mutable QMutex m_mutex;
    QHash<qint64, QByteArray> m_png;
};

} // namespace vexa::project
