#pragma once

#include "CoverKind.h"
#include "PictureFile.h"

#include <QObject>

#include <array>

namespace vexa {

// One picture record per kind of cover, by table row: what a job on a worker reads, a copy
// of the cover set at one moment (copies share their pixels and bytes).
class CoverRecords {
public:
    const LoadedPicture& operator[](CoverKind kind) const { return m_records[coverIndex(kind)]; }
    LoadedPicture& operator[](CoverKind kind) { return m_records[coverIndex(kind)]; }

private:
    std::array<LoadedPicture, kCoverKindCount> m_records;
};

// The covers being made: the picture of each kind, as read from its file or as made in VEXA.
// The windows that show the pictures observe it; the print dialog, the preview and the
// export read it. It lives on the window's thread; jobs get a copy of its records.
class CoverSet : public QObject {
    Q_OBJECT
public:
    explicit CoverSet(QObject* parent = nullptr);

    const LoadedPicture& picture(CoverKind kind) const { return m_records[kind]; }
    const CoverRecords& records() const { return m_records; }
    // The kinds that have a picture.
    CoverKinds filled() const;

    // Makes `picture` the kind's record and tells the observers, once.
    void setPicture(CoverKind kind, LoadedPicture picture);

signals:
    void pictureChanged(vexa::CoverKind kind);

private:
    CoverRecords m_records;
};

} // namespace vexa
