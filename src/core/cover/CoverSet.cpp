#include "core/cover/CoverSet.h"

namespace vexa::cover {

CoverSet::CoverSet(QObject* parent) : QObject(parent) {}

CoverKinds CoverSet::filled() const {
    CoverKinds kinds;
    for (CoverKind kind : kAllCoverKinds)
        if (!m_records[kind].isNull()) kinds |= kind;
    return kinds;
}

void CoverSet::setPicture(CoverKind kind, picture::LoadedPicture picture) {
    m_records[kind] = std::move(picture);
    m_records.framing(kind).crop = Framing().crop;
    emit pictureChanged(kind);
}

void CoverSet::setFraming(CoverKind kind, const Framing& framing) {
    if (m_records.framing(kind) == framing) return;
    m_records.framing(kind) = framing;
    emit framingChanged(kind);
}

void CoverSet::setDecodedPixels(const QByteArray& bytes, const QImage& pixels) {
    for (CoverKind kind : kAllCoverKinds) {
        picture::LoadedPicture& record = m_records[kind];
        if (!picture::fillInPixels(record, bytes, pixels)) continue;
        emit pictureChanged(kind);
    }
}

} // namespace vexa::cover
