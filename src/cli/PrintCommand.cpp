#include "cli/PrintCommand.h"

#include "cli/InputPicture.h"
#include "cli/PrintArguments.h"
#include "cli/QuietStandardError.h"
#include "core/base/PrintableText.h"
#include "core/base/SaveTarget.h"
#include "core/cups/SystemPrinters.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/PdfExport.h"
#include "core/printing/PdfSaving.h"
#include "core/printing/PrintJob.h"
#include "core/printing/SheetRun.h"
#include "core/project/ProjectOpen.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QTextStream>

#include <optional>

#include <sys/stat.h>

namespace vexa::cli {

namespace {

void printUsage(QTextStream& out) {
    out << "usage: vexa-cli print [--front FILE] [--inside FILE] ... [--ds FILE]\n"
           "                      [--paper letter|a4] [--printer NAME | --pdf FILE]\n"
           "                      [--marks | --no-marks] [--bleed 0|1.5|3] [--no-calibration]\n"
           "                      [--pack | --no-pack] [--copies N] [--fit stretch|fill|fit]\n"
           "       vexa-cli print PROJECT.vexa [COVER...] [options as above]\n"
           "Prints each picture as its cover, at the cover's physical size at the top-left\n"
           "of the printable area, one document per cover, in this order:\n";
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        out << QStringLiteral("  %1  %2\n").arg(coverOption(kind), -9).arg(cover::coverName(kind));
    out << "Without --printer the default printer is used. --pdf FILE writes one page per\n"
           "cover into FILE instead, each on its own paper size with the picture at the\n"
           "page's top-left corner. --paper letter (the default) prints the DVD, DVD slim and\n"
           "DS covers on Legal and the others on Letter; --paper a4 prints every cover on A4.\n"
           "Cover sizes are the same on either.\n"
           "--marks draws cut marks at each cover's corners (and fold marks at the spines of\n"
           "the CD back, DVD and DVD slim covers); --bleed MM carries the picture's edge on\n"
           "past the cover by 1.5 or 3 mm. With either, the cover moves in from the corner to\n"
           "make room for them. A printer calibrated with 'vexa-cli calibrate' gets every\n"
           "cover corrected by its calibration for the paper, unless --no-calibration is\n"
           "given; a PDF file never is.\n"
           "--copies N prints N copies of each cover (1 to 20). --pack puts the covers, copies\n"
           "included, on as few sheets as fit them, each at its exact size inside the printable\n"
           "area, turned a quarter where that fits better, each sheet a document of its own\n"
           "(in a PDF file, a page; the whole page counts as printable there). --no-pack\n"
           "prints one cover a page, the default.\n"
           "Given a project file saved by VEXA, prints the covers it chooses with its paper,\n"
           "marks, bleed, sheets, copies and each cover's fit and crop; covers named after it\n"
           "(front, inside, ..., ds) are printed instead, and --paper, --marks, --no-marks,\n"
           "--bleed, --pack, --no-pack, --copies and --fit override its choices.\n"
           "--fit says how each picture takes its cover's shape: stretch (the default)\n"
           "stretches it to the cover's proportions, fill scales it alike both ways to cover\n"
           "the whole cover and crops the overflow evenly from both sides, fit scales it alike\n"
           "to lie inside the cover, centred, and leaves the rest white.\n";
}

class ConsoleProgress final : public printing::PrintProgress {
public:
    ConsoleProgress(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    void coverStarted(const cover::CoverFormat& kind) override {
        m_out << cover::printingMessage(kind) << Qt::endl;
    }
    void coverFinished(const cover::CoverFormat& kind,
                       const printing::DocumentResult& result) override {
        QString notice = printing::coverNotice(kind, result);
        if (notice.isEmpty() && !result.sent)
            notice = QStringLiteral("The %1 cover was not printed.").arg(cover::coverName(kind));
        finished(1, notice, result);
    }
    void sheetStarted(const cover::Sheet& sheet, int number, int count) override {
        static_cast<void>(sheet);
        m_out << printing::printingSheetMessage(number, count) << Qt::endl;
    }
    void sheetFinished(const cover::Sheet& sheet, int number,
                       const printing::DocumentResult& result) override {
        QString notice = printing::sheetNotice(sheet, number, result);
        if (notice.isEmpty() && !result.sent)
            notice = QStringLiteral("Sheet %1 (%2) was not printed.")
                         .arg(number)
                         .arg(printing::sheetCoversText(sheet));
        finished(static_cast<int>(sheet.covers.size()), notice, result);
    }
    bool continueAfterCover() override { return true; }

    // Covers on the documents sent, and the documents (pages) sent and not sent.
    int printed() const { return m_printed; }
    int pages() const { return m_pages; }
    int failed() const { return m_failed; }

private:
    void finished(int covers, const QString& notice, const printing::DocumentResult& result) {
        if (result.sent) {
            m_printed += covers;
            ++m_pages;
        } else {
            ++m_failed;
        }
        // Copies that fare alike are told once.
        if (!notice.isEmpty() && !m_told.contains(notice)) {
            m_told << notice;
            m_err << "vexa-cli print: " << notice << Qt::endl;
        }
        // Not a failure: the covers print once the printer is resumed. Said once a printer.
        if (!result.heldBy.isEmpty() && !m_held.contains(result.heldBy)) {
            m_held << result.heldBy;
            m_err << "vexa-cli print: "
                  << base::printable(
                         cups::printFailureReason(cups::PrintFailure::PrinterPaused, result.heldBy))
                  << Qt::endl;
        }
    }

    QTextStream& m_out;
    QTextStream& m_err;
    int m_printed = 0;
    int m_pages = 0;
    int m_failed = 0;
    QStringList m_told;
    QStringList m_held;
};

// A file as the file system knows it, whatever name leads to it.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
size_t qHash(const FileIdentity& identity, size_t seed = 0) {
    return qHashMulti(seed, quint64(identity.device), quint64(identity.inode));
}

std::optional<FileIdentity> identityOf(const base::FilePath& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

int fail(QTextStream& err, const QString& message, int status) {
    err << "vexa-cli print: " << base::printable(message) << Qt::endl;
    return status;
}

// The pictures named by --front FILE ... --ds FILE, each printed. Every picture is read
// before anything is printed, so a typo costs no paper. A file given for several covers is
// read once: the covers share it. A JPEG that goes into the job as its own data is checked
// but not decoded, unless the bleed needs its edge pixels. The exit status when one cannot be
// read.
std::optional<int> readPictures(const PrintArguments& parsed, cover::CoverRecords& pictures,
                                cover::CoverKinds& selection, QTextStream& err) {
    const picture::Decoding decoding =
        parsed.trim.bleedMm > 0 ? picture::Decoding::Always : picture::Decoding::NotForPassThrough;
    QHash<FileIdentity, picture::LoadedPicture> decoded;
    for (std::size_t i = 0; i < cover::kCoverFormats.size(); ++i) {
        const base::FilePath& file = parsed.pictures[i];
        if (file.isEmpty()) continue;
        const std::optional<FileIdentity> identity = identityOf(file);
        picture::LoadedPicture picture =
            identity ? decoded.value(*identity) : picture::LoadedPicture();
        if (picture.isNull()) {
            QString unreadable;
            picture = readInputPicture(file, unreadable, decoding);
            if (picture.isNull()) return fail(err, unreadable, 1);
            if (identity) decoded.insert(*identity, picture);
        }
        const cover::CoverKind kind = cover::kCoverFormats[i].id;
        pictures[kind] = picture;
        selection |= kind;
    }
    return std::nullopt;
}

// The covers of a project file: those named after it, else those it chooses, with its paper,
// marks and bleed where the command line sets none. Only their pictures are read. A chosen
// cover without a picture is left out, as the print window does; a named one is an error.
std::optional<int> readProjectCovers(const PrintArguments& parsed, cover::CoverRecords& pictures,
                                     cover::CoverKinds& selection, cover::PaperChoice& paper,
                                     cover::TrimOptions& trim, cover::SheetChoices& sheets,
                                     QTextStream& err) {
    const bool named = parsed.covers != cover::CoverKinds();
    project::OpenedProject opened;
    {
        const QuietStandardError quiet; // libpng and libtiff print errors themselves
        // Checked whole, but a JPEG that goes into the job as its own data is decoded only
        // where the bleed needs its edge pixels, known once the project's choices are read.
        opened =
            project::openProject(parsed.project, named ? parsed.covers : cover::kEveryCoverKind,
                                 picture::Decoding::NotForPassThrough);
    }
    if (!opened.project) {
        QString failure = opened.failure;
        if (failure.endsWith(u'.')) failure.chop(1); // one line like the command's others
        return fail(err, failure, 1);
    }
    const project::Project& project = *opened.project;
    pictures = project.covers;
    if (parsed.paperText.isEmpty()) paper = project.print.paper;
    if (!parsed.marksGiven) trim.marks = project.print.trim.marks;
    if (!parsed.bleedGiven) trim.bleedMm = project.print.trim.bleedMm;
    if (!parsed.packGiven) sheets.layout = project.print.sheets.layout;
    if (!parsed.copiesGiven) sheets.copies = project.print.sheets.copies;
    if (trim.bleedMm > 0) {
        const QuietStandardError quiet;
        QMutex lock; // the pictures are decoded side by side
        project::decodeCheckedPictures(
            pictures, [&pictures, &lock](const QByteArray& bytes, const QImage& pixels) {
                const QMutexLocker locked(&lock);
                for (cover::CoverKind kind : cover::kAllCoverKinds)
                    picture::fillInPixels(pictures[kind], bytes, pixels);
            });
    }
    cover::CoverKinds filled;
    for (cover::CoverKind kind : cover::kAllCoverKinds)
        if (!pictures[kind].isNull()) filled |= kind;
    if (named) {
        for (cover::CoverKind kind : cover::kAllCoverKinds)
            if (parsed.covers.testFlag(kind) && !filled.testFlag(kind))
                return fail(
                    err,
                    QStringLiteral("'%1' has no picture for the %2 cover")
                        .arg(parsed.project.text(), cover::coverName(cover::coverFormat(kind))),
                    1);
        selection = parsed.covers;
        return std::nullopt;
    }
    selection = project.print.chosen & filled;
    if (selection == cover::CoverKinds())
        return fail(err,
                    QStringLiteral("'%1' chooses no cover that has a picture: name the covers to "
                                   "print after it, for example 'front'")
                        .arg(parsed.project.text()),
                    1);
    const QString leftOut = printing::coversLeftOutText(project.print.chosen & ~filled);
    if (!leftOut.isEmpty()) err << "vexa-cli print: " << leftOut << Qt::endl;
    return std::nullopt;
}

} // namespace

int runPrintCommand(const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runPrintCommand(arguments, out, err);
}

int runPrintCommand(const QStringList& arguments, QTextStream& out, QTextStream& err,
                    std::chrono::milliseconds jobFollowTime) {
    QString error;
    const std::optional<PrintArguments> parsed = parsePrintArguments(arguments, error);
    if (!parsed) return fail(err, error + QStringLiteral(" (try 'vexa-cli print --help')"), 2);
    if (parsed->help) {
        printUsage(out);
        return 0;
    }

    cover::CoverRecords pictures;
    cover::CoverKinds selection;
    cover::PaperChoice paper = parsed->paper;
    cover::TrimOptions trim = parsed->trim;
    cover::SheetChoices sheets = parsed->sheets;
    if (std::optional<int> failed =
            parsed->project.isEmpty()
                ? readPictures(*parsed, pictures, selection, err)
                : readProjectCovers(*parsed, pictures, selection, paper, trim, sheets, err))
        return *failed;
    if (parsed->fit)
        for (const cover::CoverKind kind : cover::kAllCoverKinds)
            pictures.framing(kind).fit = *parsed->fit;

    ConsoleProgress progress(out, err);
    if (!parsed->pdf.isEmpty()) {
        const QString pdf = parsed->pdf.text();
        // The export names its file as text; a name that is no UTF-8 would come out under
        // other bytes than the ones typed, so it is refused rather than written elsewhere.
        if (QFile::encodeName(pdf) != parsed->pdf.bytes())
            return fail(err, QStringLiteral("cannot write '%1': its name is not UTF-8").arg(pdf),
                        1);
        // Only a regular file or a new name is written (see SaveTarget.h).
        const base::SaveRefusal refusal = base::saveTarget(parsed->pdf).refusal;
        if (refusal != base::SaveRefusal::None)
            return fail(
                err,
                QStringLiteral("cannot write '%1': %2").arg(pdf, base::saveRefusalText(refusal)),
                1);
        // Written beside the target and renamed when complete: an existing file survives a
        // failed or killed run.
        if (!printing::exportCoversToPdf(selection, pictures, paper, pdf, progress, trim, sheets) ||
            progress.failed() > 0)
            return fail(err, QStringLiteral("cannot write '%1'").arg(pdf), 1);
        out << progress.pages() << (progress.pages() == 1 ? " page" : " pages") << " written to "
            << base::printable(pdf) << Qt::endl;
        return 0;
    }

    printing::CupsCoverPrinter printer;
    QString target = parsed->printer;
    if (!target.isEmpty()) {
        if (!printer.usePrinter(target)) {
            const cups::PrinterListing listing = cups::listPrinters();
            if (listing.status == cups::PrinterListing::Status::ServerUnreachable)
                return fail(err, cups::printFailureText(cups::PrintFailure::ServerUnreachable), 1);
            return fail(err,
                        QStringLiteral("no printer named '%1' (installed: %2)")
                            .arg(target, listing.names.isEmpty()
                                             ? QStringLiteral("none")
                                             : listing.names.join(QLatin1String(", "))),
                        1);
        }
    } else if (!printer.followDefault()) {
        const cups::PrintFailure why = printer.noPrinterFailure();
        QString text = cups::printFailureText(why);
        if (why == cups::PrintFailure::NoPrinter)
            text += QStringLiteral(" --pdf FILE writes the covers into a PDF file instead.");
        else if (why == cups::PrintFailure::NoDefaultPrinter)
            text += QStringLiteral(" --printer NAME prints on one of them.");
        return fail(err, text, 1);
    } else {
        target = cups::systemDefaultPrinter();
    }
    printer.setCalibrationUsed(!parsed->noCalibration);
    printer.setJobFollowTime(jobFollowTime);
    printing::printCovers(selection, pictures, printer, progress, paper, sheets, trim);
    out << progress.printed() << (progress.printed() == 1 ? " cover" : " covers");
    if (sheets.packs())
        out << " on " << progress.pages() << (progress.pages() == 1 ? " sheet" : " sheets");
    out << " sent to " << base::printable(target) << Qt::endl;
    return progress.failed() > 0 ? 1 : 0;
}

} // namespace vexa::cli
