#pragma once

#include <QString>
#include <QTransform>

#include <optional>
#include <variant>

namespace vexa::cover {

inline constexpr double kPointsPerMillimetre = 72.0 / 25.4;

// The calibration page: two lines at this distance from the paper's left and top edges, and
// a ruler of this length along each axis.
inline constexpr double kCalibrationLineMm = 20.0;
inline constexpr double kCalibrationRulerMm = 150.0;
// What a real printer is off by; beyond this the ruler was misread.
inline constexpr double kMaxCalibrationOffsetMm = 10.0;
inline constexpr double kMinCalibrationScale = 0.95;
inline constexpr double kMaxCalibrationScale = 1.05;

// How one printer misplaces a page on one paper, in the frame of the paper as it feeds
// (portrait, top-left origin): a point drawn at p millimetres from the paper's edge comes out
// at offset + scale * p, per axis.
struct PrinterCalibration {
    double offsetAcrossMm = 0.0;
    double offsetDownMm = 0.0;
    double scaleAcross = 1.0;
    double scaleDown = 1.0;

    bool operator==(const PrinterCalibration&) const = default;
};

// What the user measured on the printed calibration page, in millimetres.
struct CalibrationMeasurements {
    double leftMm = kCalibrationLineMm;    // paper's left edge to the line
    double topMm = kCalibrationLineMm;     // paper's top edge to the line
    double acrossMm = kCalibrationRulerMm; // the ruler across the page, 0 to 150
    double downMm = kCalibrationRulerMm;   // the ruler down the page
};

// The calibration the measurements describe (scale = L / 150 mm, offset = d - scale * 20 mm),
// or the sentence that says why they cannot be right: an offset beyond +-10 mm or a scale
// outside 95 % ... 105 % is a misread ruler, not a printer.
std::variant<PrinterCalibration, QString>
calibrationFromMeasurements(const CalibrationMeasurements& measured);

// Nothing when the calibration is within the limits, else the sentence saying which value is
// not and why (for one read back from the settings file).
std::optional<QString> calibrationOutOfRange(const PrinterCalibration& calibration);

// The transform, in points of the paper as it feeds, that makes the printer put what is drawn
// where it is meant to be: q goes to (q - offset) / scale.
QTransform calibrationCorrection(const PrinterCalibration& calibration);

// "1.2 mm right, 0.8 mm up, 100.3 % across, 99.8 % down" for the status line and the preview.
QString describeCalibration(const PrinterCalibration& calibration);

} // namespace vexa::cover
