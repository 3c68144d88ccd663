#include "core/cover/CoverMarks.h"

#include <algorithm>

namespace vexa::cover {

namespace {

constexpr double kMillimetresPerInch = 25.4;

// Published layouts (see the cover-sizes help page for the sources): the total width and
// the fold lines measured from its left edge, in millimetres.
struct PublishedFolds {
    CoverKind kind;
    double totalMm;
    double foldsMm[2];
};

constexpr PublishedFolds kPublishedFolds[] = {
    // Tray card: 5 15/16 in wide, a 1/4 in spine at each end.
    {CoverKind::Back,
     5.9375 * kMillimetresPerInch,
     {0.25 * kMillimetresPerInch, 5.6875 * kMillimetresPerInch}},
    // DVD case: 272 mm wide, a 14 mm spine in the middle.
    {CoverKind::Dvd, 272.0, {129.0, 143.0}},
    // DVD slim case: 265 mm wide, a 7 mm spine in the middle.
    {CoverKind::DvdSlim, 265.0, {129.0, 136.0}},
};

// Fold marks are dashed, so they cannot be taken for cut marks: two dashes with a gap.
constexpr double kDashMm = 2.0;
constexpr double kDashGapMm = kMarkLengthMm - 2 * kDashMm;

// The part of an axis-aligned segment inside `area`, or nothing.
std::optional<QLineF> clipped(const QLineF& line, const QRectF& area) {
    const double x1 = std::clamp(std::min(line.x1(), line.x2()), area.left(), area.right());
    const double x2 = std::clamp(std::max(line.x1(), line.x2()), area.left(), area.right());
    const double y1 = std::clamp(std::min(line.y1(), line.y2()), area.top(), area.bottom());
    const double y2 = std::clamp(std::max(line.y1(), line.y2()), area.top(), area.bottom());
    const bool vertical = line.x1() == line.x2();
    const bool inside = vertical ? (line.x1() >= area.left() && line.x1() <= area.right())
                                 : (line.y1() >= area.top() && line.y1() <= area.bottom());
    // A mark of less than a tenth of a millimetre is no mark.
    if (!inside || std::max(x2 - x1, y2 - y1) < 0.1 * kPointsPerMillimetre) return std::nullopt;
    return QLineF(x1, y1, x2, y2);
}

} // namespace

std::vector<double> foldLinesMm(const CoverFormat& kind) {
    for (const PublishedFolds& folds : kPublishedFolds) {
        if (folds.kind != kind.id) continue;
        const double widthMm = kind.width.toPoints() / kPointsPerMillimetre;
        const double shift = (widthMm - folds.totalMm) / 2;
        return {folds.foldsMm[0] + shift, folds.foldsMm[1] + shift};
    }
    return {};
}

std::vector<PageLine> coverMarks(const QRectF& cover, const CoverFormat& kind,
                                 const TrimOptions& options, const QMarginsF& room) {
    std::vector<PageLine> lines;
    if (!options.marks) return lines;
    const double start = (std::max(0.0, options.bleedMm) + kMarkGapMm) * kPointsPerMillimetre;
    const double length = kMarkLengthMm * kPointsPerMillimetre;
    const QRectF area = cover.marginsAdded(room);
    const auto add = [&](const QLineF& line) {
        if (const auto part = clipped(line, area)) lines.push_back({*part, kMarkWidthPoints});
    };
    // Outward from the cover: along the top and bottom edges to the left and right, along the
    // left and right edges up and down.
    const double l = cover.left(), r = cover.right(), t = cover.top(), b = cover.bottom();
    for (const double y : {t, b}) {
        add(QLineF(l - start - length, y, l - start, y));
        add(QLineF(r + start, y, r + start + length, y));
    }
    for (const double x : {l, r}) {
        add(QLineF(x, t - start - length, x, t - start));
        add(QLineF(x, b + start, x, b + start + length));
    }
    const double dash = kDashMm * kPointsPerMillimetre;
    const double gap = kDashGapMm * kPointsPerMillimetre;
    for (const double foldMm : foldLinesMm(kind)) {
        const double x = l + foldMm * kPointsPerMillimetre;
        for (const double from : {start, start + dash + gap}) {
            add(QLineF(x, t - from - dash, x, t - from));
            add(QLineF(x, b + from, x, b + from + dash));
        }
    }
    return lines;
}

} // namespace vexa::cover
