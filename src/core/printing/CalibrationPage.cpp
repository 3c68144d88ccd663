#include "core/printing/CalibrationPage.h"

#include "core/cover/PaperChoice.h"
#include "core/cover/PrinterCalibration.h"

#include <QRegularExpression>

namespace vexa::printing {

namespace {

constexpr double kRulerWidthPoints = 0.4;
constexpr double kTickMm = 2.0;
constexpr double kFiveTickMm = 3.5;
constexpr double kTenTickMm = 5.0;
constexpr double kEndTickMm = 8.0;
constexpr double kNumberSize = 6.0;
constexpr double kTextSize = 9.0;

double pt(double mm) {
    return mm * cover::kPointsPerMillimetre;
}

// The printer's name as a shell takes it.
QString shellWord(const QString& word) {
    static const QRegularExpression kPlain(QStringLiteral("^[A-Za-z0-9_.@+-]+$"));
    if (kPlain.match(word).hasMatch()) return word;
    return u'\'' + QString(word).replace(u'\'', QLatin1String("'\\''")) + u'\'';
}

} // namespace

cover::PageContent calibrationPage(const QSizeF& paper, const QString& printer,
                                   cover::Paper paperCode) {
    cover::PageContent page(paper);
    const double zero = cover::kCalibrationLineMm;
    const double end = cover::kCalibrationLineMm + cover::kCalibrationRulerMm;
    // The two lines to measure from the edges; each is also its axis' ruler.
    page.addLine(QLineF(pt(zero), pt(zero), pt(end), pt(zero)), kRulerWidthPoints);
    page.addLine(QLineF(pt(zero), pt(zero), pt(zero), pt(end)), kRulerWidthPoints);
    for (int mm = 0; mm <= static_cast<int>(cover::kCalibrationRulerMm); ++mm) {
        const double tick = mm == 0 || mm == static_cast<int>(cover::kCalibrationRulerMm)
                                ? kEndTickMm
                            : mm % 10 == 0 ? kTenTickMm
                            : mm % 5 == 0  ? kFiveTickMm
                                           : kTickMm;
        const double at = zero + mm;
        page.addLine(QLineF(pt(at), pt(zero), pt(at), pt(zero + tick)), kRulerWidthPoints);
        page.addLine(QLineF(pt(zero), pt(at), pt(zero + tick), pt(at)), kRulerWidthPoints);
        if (mm % 10 != 0 || mm == 0) continue;
        // Beside the long ticks, clear of the short ones that a ruler is laid along.
        const QString number = QString::number(mm);
        page.addText(QPointF(pt(at + 0.6), pt(zero + kTenTickMm + 2.0)), kNumberSize, number);
        page.addText(QPointF(pt(zero + kTenTickMm + 0.8), pt(at + 2.2)), kNumberSize, number);
    }
    // One 0 for both rulers, off the corner where they meet.
    page.addText(QPointF(pt(zero + kTenTickMm + 0.8), pt(zero + kTenTickMm + 2.0)), kNumberSize,
                 QStringLiteral("0"));

    const QString paperText = cover::paperName(paperCode);
    const QStringList words{
        QStringLiteral("VEXA printer calibration: printer %1, %2 paper").arg(printer, paperText),
        QString(),
        QStringLiteral("Measure in millimetres, with a ruler laid flat on the paper:"),
        QStringLiteral("1. From the paper's left edge to the long line on the left"),
        QStringLiteral("    (drawn 20 mm from the edge)."),
        QStringLiteral("2. From the paper's top edge to the long line at the top"),
        QStringLiteral("    (drawn 20 mm from the edge)."),
        QStringLiteral("3. The ruler across the page, from its 0 mark to its 150 mark"),
        QStringLiteral("    (drawn 150 mm long)."),
        QStringLiteral("4. The ruler down the page, from its 0 mark to its 150 mark"),
        QStringLiteral("    (drawn 150 mm long)."),
        QString(),
        QStringLiteral("Type the four figures into the Calibrate Printer window of VEXA,"),
        QStringLiteral("or run:  vexa-cli calibrate --printer %1 --paper %2 --set LEFT TOP "
                       "ACROSS DOWN")
            .arg(shellWord(printer), paperText.toLower()),
    };
    double baseline = pt(45.0);
    for (const QString& line : words) {
        if (!line.isEmpty()) page.addText(QPointF(pt(35.0), baseline), kTextSize, line);
        baseline += kTextSize * 1.45;
    }
    return page;
}

} // namespace vexa::printing
