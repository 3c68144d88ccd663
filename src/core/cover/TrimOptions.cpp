#include "core/cover/TrimOptions.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace vexa::cover {

namespace {
// Less than this is drawing noise, not room anyone could miss.
constexpr double kSmallestShortfallMm = 0.05;
} // namespace

std::optional<double> bleedFromText(const QString& text) {
    bool ok = false;
    const double value = QString(text.trimmed()).replace(u',', u'.').toDouble(&ok);
    if (!ok) return std::nullopt;
    for (const double choice : kBleedChoicesMm)
        if (std::abs(value - choice) < 1e-9) return choice;
    return std::nullopt;
}

double trimAllowance(const TrimOptions& options) {
    const double mm =
        std::max(0.0, options.bleedMm) + (options.marks ? kMarkGapMm + kMarkLengthMm : 0.0);
    return mm * kPointsPerMillimetre;
}

TrimmedCover placeTrimmedCover(const QRectF& printable, const QSizeF& coverSize,
                               const TrimOptions& options) {
    const double want = trimAllowance(options);
    // The cover moves in by the allowance, but never so far that it would reach past the
    // printable area on the far side when it would not have at the corner.
    const auto nearSide = [want](double slack) { return std::clamp(slack, 0.0, want); };
    const double slackX = printable.width() - coverSize.width();
    const double slackY = printable.height() - coverSize.height();
    TrimmedCover result;
    result.cover =
        QRectF(printable.topLeft() + QPointF(nearSide(slackX), nearSide(slackY)), coverSize);
    const auto farSide = [want](double room) { return std::clamp(room, 0.0, want); };
    result.room =
        QMarginsF(result.cover.left() - printable.left(), result.cover.top() - printable.top(),
                  farSide(printable.right() - result.cover.right()),
                  farSide(printable.bottom() - result.cover.bottom()));
    if (want <= 0) return result;

    QStringList sides;
    const auto check = [&](double room, const char* where) {
        const double roomMm = room / kPointsPerMillimetre;
        if (want / kPointsPerMillimetre - roomMm >= kSmallestShortfallMm)
            sides << QStringLiteral("%1 mm %2").arg(roomMm, 0, 'f', 1).arg(QLatin1String(where));
    };
    check(result.room.left(), "on the left");
    check(result.room.top(), "at the top");
    check(result.room.right(), "on the right");
    check(result.room.bottom(), "at the bottom");
    const QString last = sides.isEmpty() ? QString() : sides.takeLast();
    result.shortfall =
        sides.isEmpty() ? last : sides.join(QLatin1String(", ")) + QLatin1String(" and ") + last;
    return result;
}

} // namespace vexa::cover
