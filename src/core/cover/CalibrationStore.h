#pragma once

#include "core/cover/CoverFormats.h"

#include "core/cover/PrinterCalibration.h"

#include <QString>

#include <optional>

namespace vexa::cover {

// The stored calibration of one printer on one paper (Letter, Legal and A4 apart), or why
// the stored text cannot be used.
struct StoredCalibration {
    std::optional<PrinterCalibration> calibration; // nothing: none stored, or unusable
    // A sentence when something is stored but cannot be used (a line that cannot be read,
    // figures out of range, a printer and paper given on two lines, a line below a broken
    // section header); else empty.
    QString problem;
    // A sentence when the section's header is broken and calibrations below it are lost,
    // whichever printer and paper was asked for (the same sentence each time); else empty.
    QString sectionProblem;
};

// Calibrations in a settings file, section [CALIBRATION], one line per printer and paper that
// a person can read and edit:
//   Office%20Laser/A4=across +1.20 mm 100.333 %, down -0.80 mm 99.800 %
// The key is the printer's name with "%", "/", "=", "[", "]", ";", "#", quotes, blanks and
// control characters written as %XX (the UTF-8 bytes in hex), a "/" and the paper's name.
// The values are the offset and the scale of each axis (see PrinterCalibration); a comma is
// taken as the decimal mark too.
class CalibrationStore {
public:
    explicit CalibrationStore(QString settingsFile) : m_file(std::move(settingsFile)) {}

    StoredCalibration read(const QString& printer, Paper paperCode) const;
    // Replaces every line of the printer and paper with one. False when the file cannot be
    // written or the calibration is out of range.
    bool write(const QString& printer, Paper paperCode,
               const PrinterCalibration& calibration) const;
    // Takes out every line of the printer and paper; true also when nothing was stored.
    bool remove(const QString& printer, Paper paperCode) const;

    static QString key(const QString& printer, Paper paperCode);
    static QString valueText(const PrinterCalibration& calibration);
    static std::optional<PrinterCalibration> parseValue(const QString& text);

private:
    QString m_file;
};

// The store in the program's settings file (vexa6.ini).
CalibrationStore settingsCalibrations();

} // namespace vexa::cover
