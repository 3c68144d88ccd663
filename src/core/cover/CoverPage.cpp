#include "core/cover/CoverPage.h"

#include <QStringList>

namespace vexa::cover {

namespace {
constexpr double kMillimetresPerPoint = 25.4 / 72.0;
// Less than this is drawing noise, not a cut anyone could see.
constexpr double kSmallestCut = 0.05;
} // namespace

QMarginsF orientedMargins(const QMarginsF& paper, QPageLayout::Orientation orientation,
                          LandscapeTurn turn) {
    if (orientation == QPageLayout::Portrait) return paper;
    // QMarginsF is (left, top, right, bottom).
    if (turn == LandscapeTurn::Plus90)
        return QMarginsF(paper.bottom(), paper.left(), paper.top(), paper.right());
    return QMarginsF(paper.top(), paper.right(), paper.bottom(), paper.left());
}

CoverPage layoutCoverPage(const QSizeF& paperSize, QPageLayout::Orientation orientation,
                          const QMarginsF& margins, const QSizeF& coverSize,
                          const QPointF& offset) {
    CoverPage result;
    result.page = orientation == QPageLayout::Landscape ? paperSize.transposed() : paperSize;
    result.printable = QRectF(QPointF(0, 0), result.page).marginsRemoved(margins);
    result.cover = QRectF(result.printable.topLeft() + offset, coverSize);
    return result;
}

QString marginCut(const CoverPage& page) {
    QStringList parts;
    const auto add = [&parts](double points, const char* where) {
        const double mm = points * kMillimetresPerPoint;
        if (mm >= kSmallestCut)
            parts << QStringLiteral("%1 mm %2").arg(mm, 0, 'f', 1).arg(QLatin1String(where));
    };
    add(page.cover.right() - page.printable.right(), "on the right");
    add(page.cover.bottom() - page.printable.bottom(), "at the bottom");
    return parts.join(QLatin1String(" and "));
}

} // namespace vexa::cover
