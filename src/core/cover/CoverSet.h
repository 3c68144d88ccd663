#pragma once

#include "core/cover/CoverFit.h"
#include "core/cover/CoverKind.h"
#include "core/picture/PictureFile.h"

#include <QObject>

#include <array>

namespace vexa::cover {

// One picture record per kind of cover, by table row, with the way each picture takes its
// cover's shape: what a job on a worker reads, a copy of the cover set at one moment (copies
// share their pixels and bytes).
class CoverRecords {
public:
    const picture::LoadedPicture& operator[](CoverKind kind) const {
        return m_records[coverIndex(kind)];
    }
    picture::LoadedPicture& operator[](CoverKind kind) { return m_records[coverIndex(kind)]; }

    const Framing& framing(CoverKind kind) const { return m_framings[coverIndex(kind)]; }
    Framing& framing(CoverKind kind) { return m_framings[coverIndex(kind)]; }

private:
    std::array<picture::LoadedPicture, kCoverKindCount> m_records;
    std::array<Framing, kCoverKindCount> m_framings;
};

// The covers being made: the picture of each kind, as read from its file or as made in VEXA.
// The windows that show the pictures observe it; the print dialog, the preview and the
// export read it. It lives on the window's thread; jobs get a copy of its records.
class CoverSet : public QObject {
    Q_OBJECT
public:
    explicit CoverSet(QObject* parent = nullptr);

    const picture::LoadedPicture& picture(CoverKind kind) const { return m_records[kind]; }
    // The kind's fit and crop (Stretch until chosen otherwise).
    const Framing& framing(CoverKind kind) const { return m_records.framing(kind); }
    const CoverRecords& records() const { return m_records; }
    // The kinds that have a picture.
    CoverKinds filled() const;

    // Makes `picture` the kind's record and tells the observers, once. The cover keeps its
    // fit; a crop starts centred on the new picture.
    void setPicture(CoverKind kind, picture::LoadedPicture picture);
    // Sets the kind's fit and crop and tells the observers, when that changes anything.
    void setFraming(CoverKind kind, const Framing& framing);
    // Gives `pixels` to each cover whose picture was checked but not decoded from `bytes`
    // (see picture::Decoding), and tells the observers. The pictures stay what they were, so
    // nothing else changes: not the fit, not the crop, not whether the set was changed.
    void setDecodedPixels(const QByteArray& bytes, const QImage& pixels);

signals:
    void pictureChanged(vexa::cover::CoverKind kind);
    void framingChanged(vexa::cover::CoverKind kind);

private:
    CoverRecords m_records;
};

} // namespace vexa::cover
