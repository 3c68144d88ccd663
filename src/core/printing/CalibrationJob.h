#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cups/JobFollowing.h"

#include <QString>

#include <chrono>
#include <functional>

namespace vexa::printing {

// What became of the calibration page.
struct CalibrationPageResult {
    // Why it was not printed, as "printer beta has no A4 paper"; empty when CUPS took it.
    QString refused;
    // The paused printer that holds it in its queue; empty when none does.
    QString heldBy;
};

// Prints the calibration page (see CalibrationPage.h) on `printer` on the paper, exactly as
// drawn: no calibration applied, no scaling. The job is followed for `followTime` at most, so
// that a page the printer's filters stop is told as not printed; `keepGoing` is asked while it
// waits and false ends the wait.
CalibrationPageResult
printCalibrationPage(const QString& printer, cover::Paper paperCode,
                     const std::function<bool()>& keepGoing = {},
                     std::chrono::milliseconds followTime = cups::kJobFollowTime);

} // namespace vexa::printing
