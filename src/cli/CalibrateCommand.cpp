#include "cli/CalibrateCommand.h"

#include "cli/CalibrateArguments.h"
#include "core/base/PrintableText.h"
#include "core/cover/CalibrationInput.h"
#include "core/cover/CalibrationStore.h"
#include "core/cover/PaperChoice.h"
#include "core/cups/PrintFailure.h"
#include "core/cups/SystemPrinters.h"
#include "core/printing/CalibrationJob.h"

#include "core/settings/Settings.h"

#include <QTextStream>

namespace vexa::cli {

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
    err << "vexa-cli calibrate: " << base::printable(message) << Qt::endl;
    return status;
}

// The printer named, or the default; empty, with the reason told, when there is none.
QString chosenPrinter(const CalibrateArguments& parsed, bool mustBeInstalled, QTextStream& err) {
    if (parsed.printer.isEmpty()) {
        const QString printer = cups::systemDefaultPrinter();
        if (printer.isEmpty()) {
            // Why there is none, in the words the print window and `print` use.
            const cups::PrintFailure why = cups::missingDefaultFailure();
            QString text = cups::printFailureText(why);
            if (why == cups::PrintFailure::NoDefaultPrinter)
                text += QStringLiteral(" --printer NAME calibrates one of them.");
            fail(err, text, 1);
        }
        return printer;
    }
    const cups::PrinterListing listing = cups::listPrinters();
    const QStringList& installed = listing.names;
    if (mustBeInstalled && listing.status == cups::PrinterListing::Status::ServerUnreachable) {
        fail(err, cups::printFailureText(cups::PrintFailure::ServerUnreachable), 1);
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
    const QString paper = cover::paperName(parsed->paper);
    const cover::CalibrationStore store = cover::settingsCalibrations();

    if (parsed->action == CalibrateArguments::Action::Set) {
        // The figures first: a misread ruler is said whatever the printer.
        const auto calibration = cover::calibrationFromText(parsed->figures);
        if (const QString* problem = std::get_if<QString>(&calibration))
            return fail(err, *problem, 2);
        const QString printer = chosenPrinter(*parsed, true, err);
        if (printer.isEmpty()) return 1;
        const cover::PrinterCalibration& stored = std::get<cover::PrinterCalibration>(calibration);
        if (!store.write(printer, parsed->paper, stored))
            return fail(err, QStringLiteral("cannot write '%1'").arg(settings::settingsFilePath()),
                        1);
        out << "calibration of " << base::printable(printer) << " on " << paper
            << " paper stored: " << cover::describeCalibration(stored) << Qt::endl;
        return 0;
    }

    if (parsed->action == CalibrateArguments::Action::Reset) {
        // A printer that is gone may still have its line in the file.
        const QString printer = chosenPrinter(*parsed, false, err);
        if (printer.isEmpty()) return 1;
        const bool had = store.read(printer, parsed->paper).calibration.has_value();
        if (!store.remove(printer, parsed->paper))
            return fail(err, QStringLiteral("cannot write '%1'").arg(settings::settingsFilePath()),
                        1);
        out << (had ? "calibration of " : "no calibration was stored for ")
            << base::printable(printer) << " on " << paper << " paper" << (had ? " removed" : "")
            << Qt::endl;
        return 0;
    }

    const QString printer = chosenPrinter(*parsed, true, err);
    if (printer.isEmpty()) return 1;
    const printing::CalibrationPageResult result =
        printing::printCalibrationPage(printer, parsed->paper);
    if (!result.refused.isEmpty())
        return fail(
            err, QStringLiteral("the calibration page was not printed: %1").arg(result.refused), 1);
    // Not lost: it prints once the printer is resumed.
    if (!result.heldBy.isEmpty())
        err << "vexa-cli calibrate: "
            << base::printable(cups::printFailureReason(cups::PrintFailure::PrinterPaused,
                                                        result.heldBy, QString(),
                                                        cups::JobContent::CalibrationPage))
            << Qt::endl;
    out << "calibration page sent to " << base::printable(printer) << " on " << paper
        << " paper; measure it and store the figures with --set LEFT TOP ACROSS DOWN" << Qt::endl;
    return 0;
}

} // namespace vexa::cli
