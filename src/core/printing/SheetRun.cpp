#include "core/printing/SheetRun.h"

#include "core/cover/SheetPage.h"

#include <QStringList>

#include <vector>

namespace vexa::printing {

RunEnd printPackedCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                         CoverPrinter& printer, PrintProgress& progress, cover::PaperChoice paper,
                         int copies, const cover::TrimOptions& trim) {
    // An empty slot prints nothing, so it takes no room.
    cover::CoverKinds filled;
    for (const cover::CoverKind kind : cover::kAllCoverKinds)
        if (selection.testFlag(kind) && !pictures[kind].isNull()) filled |= kind;
    const std::vector<cover::Sheet> sheets =
        cover::packSheets(filled, copies, paper, trim,
                          [&printer](cover::Paper onPaper) { return printer.sheetArea(onPaper); });
    printer.setTrimOptions(trim);

    std::vector<DocumentResult> results;
    RunEnd end = RunEnd::Finished;
    const int count = static_cast<int>(sheets.size());
    for (const cover::Sheet& sheet : sheets) {
        progress.sheetStarted(sheet, static_cast<int>(results.size()) + 1, count);
        printer.setPaperSize(sheet.paper);
        if (sheet.ownPage) {
            const cover::CoverFormat& kind = *sheet.covers.front().kind;
            printer.setOrientation(kind.orientation);
            printer.setCoverKind(kind);
            printer.drawPicture(pictures[kind.id], base::Twips(0), base::Twips(0), kind.width,
                                kind.height);
        } else {
            printer.drawSheet(cover::sheetContent(sheet, pictures, trim));
        }
        results.push_back(printer.endDocument());
        if (!progress.continueAfterCover()) {
            end = RunEnd::Stopped;
            break;
        }
    }
    // A stopped run is not waited for: the user asked to stop.
    if (end == RunEnd::Finished)
        printer.followJobs(results, [&progress] { return progress.keepFollowingJobs(); });
    for (std::size_t i = 0; i < results.size(); ++i)
        progress.sheetFinished(sheets[i], static_cast<int>(i) + 1, results[i]);
    return end;
}

RunEnd printCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                   CoverPrinter& printer, PrintProgress& progress, cover::PaperChoice paper,
                   const cover::SheetChoices& sheets, const cover::TrimOptions& trim) {
    if (sheets.packs())
        return printPackedCovers(selection, pictures, printer, progress, paper, sheets.copies,
                                 trim);
    printer.setTrimOptions(trim);
    return printSelectedCovers(selection, pictures, printer, progress, paper, sheets.copies);
}

QString coversText(const std::vector<const cover::CoverFormat*>& kinds) {
    QStringList parts;
    for (std::size_t i = 0; i < kinds.size();) {
        std::size_t same = i + 1;
        while (same < kinds.size() && kinds[same] == kinds[i]) ++same;
        const QString name = cover::coverName(*kinds[i]);
        parts << (same - i == 1 ? name : QStringLiteral("%1 x %2").arg(same - i).arg(name));
        i = same;
    }
    return parts.join(QLatin1String(", "));
}

QString sheetCoversText(const cover::Sheet& sheet) {
    std::vector<const cover::CoverFormat*> kinds;
    for (const cover::SheetCover& placed : sheet.covers) kinds.push_back(placed.kind);
    return coversText(kinds);
}

QString sheetNotice(const cover::Sheet& sheet, int number, const DocumentResult& result) {
    if (sheet.covers.size() == 1) return coverNotice(*sheet.covers.front().kind, result);
    if (!result.refused.isEmpty())
        return QStringLiteral("Sheet %1 (%2) was not printed: %3.")
            .arg(number)
            .arg(sheetCoversText(sheet), result.refused);
    // Packed covers lie inside the printable area, each with its room: nothing is cut.
    return result.sent ? result.calibrationProblem : QString();
}

QString printingSheetMessage(int number, int count) {
    return QStringLiteral("Printing sheet %1 of %2.").arg(number).arg(count);
}

QString savingSheetMessage(int number, int count) {
    return QStringLiteral("Saving sheet %1 of %2.").arg(number).arg(count);
}

} // namespace vexa::printing
