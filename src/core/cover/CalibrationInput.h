#pragma once

#include "core/cover/PrinterCalibration.h"

#include <QString>

#include <array>
#include <variant>

namespace vexa::cover {

// The four figures read off the calibration page, in the order the page asks for them.
enum class CalibrationFigure { Left, Top, Across, Down };

// What the figure is, as a sentence would name it: "the distance from the paper's left edge
// to the line", "the length of the ruler across the page", ...
QString calibrationFigureName(CalibrationFigure figure);

// A typed length in millimetres: digits with a point or a comma as the decimal mark, blanks
// and a trailing "mm" allowed ("20.5", "20,5", " 150 mm"). Anything else (letters, an empty
// field, a sign, a second mark) gives the sentence that says what to type instead.
std::variant<double, QString> parseMillimetres(const QString& text, CalibrationFigure figure);

// The four typed figures (left, top, across, down) as a calibration, or the first sentence
// that says why they cannot be one.
std::variant<PrinterCalibration, QString> calibrationFromText(const std::array<QString, 4>& typed);

} // namespace vexa::cover
