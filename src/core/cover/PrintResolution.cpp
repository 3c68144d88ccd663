#include "core/cover/PrintResolution.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace vexa::cover {

namespace {

// Whole dots per inch, rounded down; a tiny tolerance keeps 300.0000001 from showing 299.
long long shownDpi(double dpi) {
    return static_cast<long long>(std::floor(dpi + 1e-9));
}

} // namespace

double printDpi(const QSize& pixels, const CoverFormat& kind, CoverFit fit) {
    const double width = kind.width.count() / base::kTwipsPerInch;
    const double height = kind.height.count() / base::kTwipsPerInch;
    if (pixels.isEmpty() || width <= 0 || height <= 0) return 0;
    const double across = pixels.width() / width;
    const double down = pixels.height() / height;
    return fit == CoverFit::Fit ? std::max(across, down) : std::min(across, down);
}

QString resolutionText(const QSize& pixels, const CoverFormat& kind, CoverFit fit) {
    return QStringLiteral("%1: %2 x %3 px, %4 dpi")
        .arg(coverName(kind))
        .arg(pixels.width())
        .arg(pixels.height())
        .arg(shownDpi(printDpi(pixels, kind, fit)));
}

QString softPrintText(const QSize& pixels, const CoverFormat& kind, CoverFit fit) {
    const double dpi = printDpi(pixels, kind, fit);
    if (pixels.isEmpty() || dpi >= kSoftPrintDpi) return QString();
    return QStringLiteral("will print soft: %1 dpi").arg(shownDpi(dpi));
}

QString softCoverNotice(const QSize& pixels, const CoverFormat& kind, CoverFit fit) {
    const QString soft = softPrintText(pixels, kind, fit);
    if (soft.isEmpty()) return soft;
    return QStringLiteral("The %1 cover %2.").arg(coverName(kind), soft);
}

QString softCoversNotice(const CoverRecords& records, CoverKinds selection) {
    QStringList sentences;
    for (const CoverFormat& kind : kCoverFormats) {
        if (!selection.testFlag(kind.id) || records[kind.id].isNull()) continue;
        const QString notice =
            softCoverNotice(records[kind.id].pixels.size(), kind, records.framing(kind.id).fit);
        if (!notice.isEmpty()) sentences << notice;
    }
    return sentences.join(u' ');
}

} // namespace vexa::cover
