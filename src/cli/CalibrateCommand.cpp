#include "CalibrateCommand.h"

#include "CalibrateArguments.h"
#include "CalibrationInput.h"
#include "CalibrationJob.h"
#include "CalibrationStore.h"
#include "PaperChoice.h"
#include "PrintFailure.h"
#include "PrintableText.h"
#include "SystemPrinters.h"

#include <Settings.h>

#include <QTextStream>

namespace vexa::cli {

using namespace vexa::print;

namespace {

void printUsage(QTextStream& out) {
    out << "usage: vexa-cli calibrate [--printer NAME] [--paper letter|legal|a4]\n"
           "                          [--set LEFT TOP ACROSS DOWN | --reset]\n"
           "Without --set or --reset, prints the calibration page on the printer (the default\n"
           "printer without --printer) and paper (letter without --paper): a line 20 mm from\n"
           "the paper's left edge, one 20 mm from its top edge, and a 150 mm ruler along each.\n"
           "Measure them, in millimetres, and store what you measured with\n"
           "  --set LEFT TOP ACROSS DOWN\n"
           "LEFT and TOP: from the paper's left and top edges to the lines; ACROSS and DOWN:\n"
           "the two rulers from their 0 to their 150 mark. A point or a comma is the decimal\n"
           "mark. Every later print on that printer and paper is then corrected (vexa-cli\n"
           "print --no-calibration leaves it out). --reset removes the calibration.\n"
           "Letter, Legal and A4 are calibrated apart: with --paper letter the DVD, DVD slim\n"
           "and DS covers print on Legal.\n";
}

int fail(QTextStream& err, const QString& message, int status) {
    err << "vexa-cli calibrate: " << printable(message) << Qt::endl;
    return status;
}

// The printer named, or the default; empty, with the reason told, when there is none.
QString chosenPrinter(const CalibrateArguments& parsed, bool mustBeInstalled, QTextStream& err) {
    if (parsed.printer.isEmpty()) {
        const QString printer = systemDefaultPrinter();
        if (printer.isEmpty()) {
            // Why there is none, in the words the print window and `print` use.
            const PrintFailure why = missingDefaultFailure();
            QString text = printFailureText(why);
            if (why == PrintFailure::NoDefaultPrinter)
                text += QStringLiteral(" --printer NAME calibrates one of them.");
            fail(err, text, 1);
        }
        return printer;
    }
    const PrinterListing listing = listPrinters();
    const QStringList& installed = listing.names;
    if (mustBeInstalled && listing.status == PrinterListing::Status::ServerUnreachable) {
        fail(err, printFailureText(PrintFailure::ServerUnreachable), 1);
        return QString();
    }
    if (mustBeInstalled && !installed.contains(parsed.printer)) {
        fail(err,
             QStringLiteral("no printer named '%1' (installed: %2)")
                 .arg(parsed.printer, installed.isEmpty() ? QStringLiteral("none")
                                                          : installed.join(QLatin1String(", "))),
             1);
        return QString();
    }
    return parsed.printer;
}

} // namespace

int runCalibrateCommand(const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runCalibrateCommand(arguments, out, err);
}

int runCalibrateCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString error;
    const std::optional<CalibrateArguments> parsed = parseCalibrateArguments(arguments, error);
    if (!parsed) return fail(err, error + QStringLiteral(" (try 'vexa-cli calibrate --help')"), 2);
    if (parsed->help) {
        printUsage(out);
        return 0;
    }
    const QString paper = paperName(parsed->paper);
    const CalibrationStore store = settingsCalibrations();

    if (parsed->action == CalibrateArguments::Action::Set) {
        // The figures first: a misread ruler is said whatever the printer.
        const auto calibration = calibrationFromText(parsed->figures);
        if (const QString* problem = std::get_if<QString>(&calibration))
            return fail(err, *problem, 2);
        const QString printer = chosenPrinter(*parsed, true, err);
        if (printer.isEmpty()) return 1;
        const PrinterCalibration& stored = std::get<PrinterCalibration>(calibration);
        if (!store.write(printer, parsed->paper, stored))
            return fail(err, QStringLiteral("cannot write '%1'").arg(settingsFilePath()), 1);
        out << "calibration of " << printable(printer) << " on " << paper
            << " paper stored: " << describeCalibration(stored) << Qt::endl;
        return 0;
    }

    if (parsed->action == CalibrateArguments::Action::Reset) {
        // A printer that is gone may still have its line in the file.
        const QString printer = chosenPrinter(*parsed, false, err);
        if (printer.isEmpty()) return 1;
        const bool had = store.read(printer, parsed->paper).calibration.has_value();
        if (!store.remove(printer, parsed->paper))
            return fail(err, QStringLiteral("cannot write '%1'").arg(settingsFilePath()), 1);
        out << (had ? "calibration of " : "no calibration was stored for ") << printable(printer)
            << " on " << paper << " paper" << (had ? " removed" : "") << Qt::endl;
        return 0;
    }

    const QString printer = chosenPrinter(*parsed, true, err);
    if (printer.isEmpty()) return 1;
    const QString refused = printCalibrationPage(printer, parsed->paper);
    if (!refused.isEmpty())
        return fail(err, QStringLiteral("the calibration page was not printed: %1").arg(refused),
                    1);
    out << "calibration page sent to " << printable(printer) << " on " << paper
        << " paper; measure it and store the figures with --set LEFT TOP ACROSS DOWN" << Qt::endl;
    return 0;
}

} // namespace vexa::cli
