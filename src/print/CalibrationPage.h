#pragma once

#include "TrimOptions.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <vector>

namespace vexa::print {

// A line of words on a page: its baseline starts at `origin` (points), in a plain sans-serif
// face of `size` points.
struct PageText {
    QPointF origin;
    double size = 10.0;
    QString text;
};

// The page the user measures to calibrate a printer, on portrait paper, in points from the
// paper's top-left corner: a line 20 mm from the left edge and one 20 mm from the top edge,
// each the 0 ... 150 mm ruler of its axis with a tick every millimetre (longer every 5 and
// 10, numbered every 10), meeting at the 0 mark; and the words saying what to measure.
struct CalibrationPage {
    QSizeF paper;
    std::vector<StrokedLine> lines;
    std::vector<PageText> texts;
};

CalibrationPage calibrationPage(const QSizeF& paper, const QString& printer, int paperCode);

} // namespace vexa::print
