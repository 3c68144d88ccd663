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
    emit pictureChanged(kind);
}

} // namespace vexa::cover
