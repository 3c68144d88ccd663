#pragma once

#include "core/cover/PrinterCalibration.h"

#include <QMarginsF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace vexa::cover {

// What is printed around a cover to cut it out cleanly: cut and fold marks, and bleed (the
// picture's edge carried on past the cut line). Both off by default.
struct TrimOptions {
    bool marks = false;
    double bleedMm = 0.0; // 0, 1.5 or 3

    bool isOff() const { return !marks && bleedMm <= 0.0; }
    bool operator==(const TrimOptions&) const = default;
};

// The bleeds offered: none, 1.5 mm, 3 mm.
inline constexpr double kBleedChoicesMm[] = {0.0, 1.5, 3.0};

// "0", "1.5", "3" (a comma taken as the decimal mark too) as one of the bleeds offered.
std::optional<double> bleedFromText(const QString& text);

// Cut and fold marks: thin lines that start this far outside the bleed and are this long.
inline constexpr double kMarkGapMm = 2.0;
inline constexpr double kMarkLengthMm = 5.0;
inline constexpr double kMarkWidthPoints = 0.25;

// The room the options want on every side of the cover, in points: bleed, and the gap and
// the marks' length when marks are on; 0 when both are off.
double trimAllowance(const TrimOptions& options);

// Where the cover goes on a page with this printable area (points, page as oriented).
struct TrimmedCover {
    QRectF cover;
    // What each side has for bleed and marks, at most the allowance: the cover never moves
    // so far in that a side of it would be cut off to make room.
    QMarginsF room;
    // The sides that have less than the allowance, as "3.2 mm on the right and 0.0 mm at the
    // bottom"; empty when every side has its room.
    QString shortfall;
};

// The cover moved in from the printable area's top-left corner by the allowance, so that
// bleed and marks fit on every side; with both off, exactly at the corner. Where the area is
// too small for the allowance on a side, that side gets less.
TrimmedCover placeTrimmedCover(const QRectF& printable, const QSizeF& coverSize,
                               const TrimOptions& options);

} // namespace vexa::cover
