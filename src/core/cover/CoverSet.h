#pragma once

#include "core/cover/CoverKind.h"
#include "core/picture/PictureFile.h"

#include <QObject>

#include <array>

namespace vexa::cover {

// One picture record per kind of cover, by table row: what a job on a worker reads, a copy
// of the cover set at one moment (copies share their pixels and bytes).
class CoverRecords {
public:
    const picture::LoadedPicture& operator[](CoverKind kind) const {
        return m_records[coverIndex(kind)];
    }
    picture::LoadedPicture& operator[](CoverKind kind) { return m_records[coverIndex(kind)]; }

private:
    std::array<picture::LoadedPicture, kCoverKindCount> m_records;
};

// The covers being made: the picture of each kind, as read from its file or as made in VEXA.
// The windows that show the pictures observe it; the print dialog, the preview and the
// export read it. It lives on the window's thread; jobs get a copy of its records.
class CoverSet : public QObject {
    Q_OBJECT
public:
    explicit CoverSet(QObject* parent = nullptr);

    const picture::LoadedPicture& picture(CoverKind kind) const { return m_records[kind]; }
    const CoverRecords& records() const { return m_records; }
    // The kinds that have a picture.
    CoverKinds filled() const;

    // Makes `picture` the kind's record and tells the observers, once.
    void setPicture(CoverKind kind, picture::LoadedPicture picture);

signals:
    void pictureChanged(vexa::cover::CoverKind kind);

private:
    CoverRecords m_records;
};

} // namespace vexa::cover
