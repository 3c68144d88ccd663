#pragma once

#include <QString>

namespace vexa::cups {

// Why covers could not be printed, or not yet, worded here once for the print window and
// vexa-cli.
enum class PrintFailure {
    ServerUnreachable, // the print server (CUPS) does not answer
    NoPrinter,         // it answers, and has no printer
    NoDefaultPrinter,  // it has printers, none of them the default
    PrinterMissing,    // the printer asked for is not (or no longer) installed
    JobRefused,        // the printer did not take the job
    PrinterPaused,     // the printer took the job and holds it: it waits in the queue
    JobStopped,        // the printer's filters stopped or aborted the job after taking it
    JobCancelled,      // the job was cancelled in the queue after it was taken
};

// What a job holds, as the sentences name it.
enum class JobContent { Covers, CalibrationPage };

// The reason as it follows "was not printed: " ("the print server cannot be reached",
// "printer beta refused the job because it is not accepting jobs", "printer beta is paused:
// the covers wait in its queue"). `printer` is named by all but the first three; `cause` says
// why a job was refused, or what CUPS said when it stopped one, when that is known.
QString printFailureReason(PrintFailure failure, const QString& printer = QString(),
                           const QString& cause = QString(),
                           JobContent content = JobContent::Covers);

// The reason as a sentence of its own, with what the user can do about it
// ("The print server cannot be reached. Check that CUPS is running.").
QString printFailureText(PrintFailure failure, const QString& printer = QString(),
                         JobContent content = JobContent::Covers);

// The reason for a job CUPS did not take, from libcups' status for it (cupsLastError()) and
// whether the server could be talked to at all: a server that could not is said to be
// unreachable, a printer it does not know to be missing, anything else is a refusal with its
// cause in plain words (never libcups' own text, which may be the system's "No such file or
// directory").
QString jobFailureReason(const QString& printer, int ippStatus, bool serverReached,
                         JobContent content = JobContent::Covers);

} // namespace vexa::cups
