#pragma once

#include <QStringList>

class QTextStream;

namespace vexa::cli {

// `vexa-cli calibrate ...`: prints the calibration page on a printer and paper, or stores
// (--set) or removes (--reset) the printer's calibration for that paper. Returns the exit
// status: 0 done, 1 no such printer, a page the printer did not take or a settings file that
// cannot be written, 2 usage error or figures that cannot be right.
int runCalibrateCommand(const QStringList& arguments);
int runCalibrateCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace vexa::cli
