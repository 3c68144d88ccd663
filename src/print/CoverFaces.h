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

// A print dialog button face: the outline of the kind's case in its printed proportions
// (with the spine of a wrap-around cover) and its name. The selected face is inverted onto
// a blue ground and carries a tick, so the two can't be mistaken for each other.
QImage coverFace(const cover::CoverFormat& kind, bool selected, QSize size = kCoverFaceSize);

} // namespace vexa::print
