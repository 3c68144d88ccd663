#pragma once

#include "core/cover/CoverFormats.h"

#include "core/cover/PageContent.h"

#include <QSizeF>
#include <QString>

namespace vexa::printing {

// The page the user measures to calibrate a printer, on portrait paper of `paper` points, in
// points from the paper's top-left corner: a line 20 mm from the left edge and one 20 mm from
// the top edge, each the 0 ... 150 mm ruler of its axis with a tick every millimetre (longer
// every 5 and 10, numbered every 10), meeting at the 0 mark; and the words saying what to
// measure.
cover::PageContent calibrationPage(const QSizeF& paper, const QString& printer,
                                   cover::Paper paperCode);

} // namespace vexa::printing
