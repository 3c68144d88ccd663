#pragma once

#include "core/cover/CoverFormats.h"

#include <QImage>
#include <QSize>

namespace vexa::print {

inline constexpr QSize kCoverFaceSize(112, 84);

// A print dialog button face: the outline of the kind's case in its printed proportions
// (with the spine of a wrap-around cover) and its name. The selected face is inverted onto
// a blue ground and carries a tick, so the two can't be mistaken for each other.
QImage coverFace(const cover::CoverFormat& kind, bool selected, QSize size = kCoverFaceSize);

} // namespace vexa::print
