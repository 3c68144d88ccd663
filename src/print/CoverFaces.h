#pragma once

#include "core/cover/CoverFormats.h"

#include <QImage>
#include <QSize>

#include <array>

namespace vexa::print {

inline constexpr QSize kCoverFaceSize(112, 84);

// Print Covers' tile of each kind: its object name and tool tip, in the cover table's order.
struct CoverTile {
    cover::CoverKind kind;
    const char* objectName;
};
inline constexpr std::array<CoverTile, cover::kCoverKindCount> kCoverTiles{{
    {cover::CoverKind::Front, "frontTile"},
    {cover::CoverKind::Inside, "insideTile"},
    {cover::CoverKind::Back, "backTile"},
    {cover::CoverKind::Mini, "miniTile"},
    {cover::CoverKind::Dvd, "dvdTile"},
    {cover::CoverKind::DvdSlim, "dvdSlimTile"},
    {cover::CoverKind::HdDvd, "hdDvdTile"},
    {cover::CoverKind::BluRay, "bluRayTile"},
    {cover::CoverKind::Psp, "pspTile"},
    {cover::CoverKind::Vita, "vitaTile"},
    {cover::CoverKind::Ds, "dsTile"},
}};

// The picture a tile shows, small: as large as a face needs, from a picture of any size.
QImage tilePicture(const QImage& picture, QSize size = kCoverFaceSize);

// A print dialog button face: the cover's picture stretched to the kind's printed proportions,
// as it prints, and its name. The selected face lies on a blue ground and carries a tick, so the
// two can't be mistaken for each other. A cover without a picture (a null `picture`) shows the
// outline of its case (with the spine of a wrap-around cover) in greys, its tick too when it is
// chosen: it cannot be printed.
QImage coverFace(const cover::CoverFormat& kind, const QImage& picture, bool selected,
                 QSize size = kCoverFaceSize);

} // namespace vexa::print
