#pragma once

#include "core/cover/CoverFormats.h"

#include <QByteArray>
#include <QList>

#include <utility>

namespace vexa::cups {

// One option of a job, as libcups takes it ("number-up", "1").
using JobOption = std::pair<QByteArray, QByteArray>;

// The options every job VEXA sends states (covers, the calibration page), so that no default
// of the queue, of its PPD or of the print server moves, turns, scales, mirrors, repeats or
// adds to a page: the page prints on the paper exactly as drawn, portrait as the paper feeds,
// once, one page a sheet, nothing added. VEXA's pages already are what the paper gets, and it
// makes its own copies.
QList<JobOption> placementOptions(cover::Paper paper);

} // namespace vexa::cups
