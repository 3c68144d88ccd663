#include "core/cover/PrinterCalibration.h"

#include <cmath>

namespace vexa::cover {

namespace {

// Rounding noise of the typed figures must not turn 105 % into a refusal.
constexpr double kTolerance = 1e-9;

bool scaleInRange(double scale) {
    return scale >= kMinCalibrationScale - kTolerance && scale <= kMaxCalibrationScale + kTolerance;
}

bool offsetInRange(double offsetMm) {
    return std::abs(offsetMm) <= kMaxCalibrationOffsetMm + kTolerance;
}

QString millimetres(double mm) {
    return QString::number(mm, 'f', 1);
}

QString percent(double scale) {
    return QString::number(scale * 100.0, 'f', 1);
}

std::optional<QString> rulerProblem(double lengthMm, const char* axis) {
    const double scale = lengthMm / kCalibrationRulerMm;
    if (scaleInRange(scale)) return std::nullopt;
    return QStringLiteral("A ruler of %1 mm %2 the page would mean that the printer %3 "
                          "everything by %4 %; printers are off by a percent or two at most, "
                          "so the ruler was misread: measure it again from its 0 mark to its "
                          "150 mark.")
        .arg(millimetres(lengthMm), QLatin1String(axis),
             QLatin1String(scale > 1 ? "stretches" : "shrinks"),
             QString::number(std::abs(scale - 1) * 100.0, 'f', 1));
}

std::optional<QString> distanceProblem(double distanceMm, double offsetMm, const char* edge) {
    if (offsetInRange(offsetMm)) return std::nullopt;
    return QStringLiteral("A distance of %1 mm from the paper's %2 edge would mean that the "
                          "printer prints %3 mm off; printers are off by a few millimetres at "
                          "most, so the ruler was misread: measure again from the paper's %2 "
                          "edge to the line.")
        .arg(millimetres(distanceMm), QLatin1String(edge), millimetres(std::abs(offsetMm)));
}

} // namespace

std::variant<PrinterCalibration, QString>
calibrationFromMeasurements(const CalibrationMeasurements& measured) {
    if (auto problem = rulerProblem(measured.acrossMm, "across")) return *problem;
    if (auto problem = rulerProblem(measured.downMm, "down")) return *problem;
    PrinterCalibration result;
    result.scaleAcross = measured.acrossMm / kCalibrationRulerMm;
    result.scaleDown = measured.downMm / kCalibrationRulerMm;
    result.offsetAcrossMm = measured.leftMm - result.scaleAcross * kCalibrationLineMm;
    result.offsetDownMm = measured.topMm - result.scaleDown * kCalibrationLineMm;
    if (auto problem = distanceProblem(measured.leftMm, result.offsetAcrossMm, "left"))
        return *problem;
    if (auto problem = distanceProblem(measured.topMm, result.offsetDownMm, "top")) return *problem;
    return result;
}

std::optional<QString> calibrationOutOfRange(const PrinterCalibration& c) {
    const auto offset = [](double mm, const char* axis) -> std::optional<QString> {
        if (offsetInRange(mm)) return std::nullopt;
        return QStringLiteral("an offset of %1 mm %2 is more than any printer is off by "
                              "(at most %3 mm)")
            .arg(millimetres(mm), QLatin1String(axis), millimetres(kMaxCalibrationOffsetMm));
    };
    const auto scale = [](double s, const char* axis) -> std::optional<QString> {
        if (scaleInRange(s)) return std::nullopt;
        return QStringLiteral("a scale of %1 % %2 is outside the %3 % to %4 % of a real printer")
            .arg(percent(s), QLatin1String(axis), percent(kMinCalibrationScale),
                 percent(kMaxCalibrationScale));
    };
    if (auto problem = offset(c.offsetAcrossMm, "across")) return problem;
    if (auto problem = offset(c.offsetDownMm, "down")) return problem;
    if (auto problem = scale(c.scaleAcross, "across")) return problem;
    return scale(c.scaleDown, "down");
}

QTransform calibrationCorrection(const PrinterCalibration& c) {
    // q -> (q - offset) / scale, per axis, in points.
    return QTransform(1.0 / c.scaleAcross, 0, 0, 1.0 / c.scaleDown,
                      -c.offsetAcrossMm * kPointsPerMillimetre / c.scaleAcross,
                      -c.offsetDownMm * kPointsPerMillimetre / c.scaleDown);
}

QString describeCalibration(const PrinterCalibration& c) {
    const auto signedMm = [](double mm) {
        return (mm >= 0 ? QStringLiteral("+") : QString()) + QString::number(mm, 'f', 2);
    };
    return QStringLiteral("offset %1 mm across, %2 mm down; scale %3 % across, %4 % down")
        .arg(signedMm(c.offsetAcrossMm), signedMm(c.offsetDownMm),
             QString::number(c.scaleAcross * 100.0, 'f', 2),
             QString::number(c.scaleDown * 100.0, 'f', 2));
}

} // namespace vexa::cover
