#pragma once

#include "core/cups/JobFollowing.h"

#include <QStringList>

#include <chrono>

class QTextStream;

namespace vexa::cli {

// `vexa-cli print ...`: prints pictures as covers, each stretched to its kind's physical
// size, on the default printer, a named printer (--printer) or into a PDF file (--pdf).
// Returns the exit status: 0 every cover sent (also to a paused printer, whose queue holds
// them, which is said), 1 a picture that cannot be read, no such printer, a cover or file that
// could not be written, or a job the printer refused or stopped within the seconds it is
// followed, 2 usage error.
// Each job is followed for `jobFollowTime` at most after it was sent.
int runPrintCommand(const QStringList& arguments);
int runPrintCommand(const QStringList& arguments, QTextStream& out, QTextStream& err,
                    std::chrono::milliseconds jobFollowTime = cups::kJobFollowTime);

} // namespace vexa::cli
