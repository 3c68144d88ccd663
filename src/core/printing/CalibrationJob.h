#pragma once

#include "core/cover/CoverFormats.h"

#include <QString>

namespace vexa::printing {

// Prints the calibration page (see CalibrationPage.h) on `printer` on the paper, exactly as
// drawn: no calibration applied, no scaling. Empty when CUPS took the job, else why not, as
// "printer beta has no A4 paper".
QString printCalibrationPage(const QString& printer, cover::Paper paperCode);

} // namespace vexa::printing
