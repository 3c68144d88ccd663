#include "core/printing/PrintJob.h"

#include "core/printing/CoverPrinter.h"

#include <QStringList>

#include <vector>

namespace vexa::printing {

RunEnd printSelectedCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                           CoverPrinter& printer, PrintProgress& progress, cover::PaperChoice paper,
                           int copies) {
    std::vector<const cover::CoverFormat*> kinds;
    std::vector<DocumentResult> results;
    RunEnd end = RunEnd::Finished;
    for (const cover::CoverFormat& kind : cover::kCoverFormats) {
        if (!selection.testFlag(kind.id)) continue;
        const cover::Paper kindsPaper = cover::paperFor(kind, paper);
        for (int copy = 1; copy <= copies && end == RunEnd::Finished; ++copy) {
            progress.coverStarted(kind);
            printer.setPaperSize(kindsPaper);
            printer.setOrientation(kind.orientation);
            printer.setCoverKind(kind);
            printer.setFraming(pictures.framing(kind.id));
            printer.drawPicture(pictures[kind.id], base::Twips(0), base::Twips(0), kind.width,
                                kind.height);
            // Ended even when nothing was drawn: the printer then sends nothing.
            kinds.push_back(&kind);
            results.push_back(printer.endDocument());
            if (kindsPaper == cover::Paper::Legal) printer.setPaperSize(cover::Paper::Letter);
            if (!progress.continueAfterCover()) end = RunEnd::Stopped;
        }
        if (end == RunEnd::Stopped) break;
    }
    // A stopped run is not waited for: the user asked to stop.
    if (end == RunEnd::Finished)
        printer.followJobs(results, [&progress] { return progress.keepFollowingJobs(); });
    for (std::size_t i = 0; i < kinds.size(); ++i) progress.coverFinished(*kinds[i], results[i]);
    return end;
}

QString coverNotice(const cover::CoverFormat& kind, const DocumentResult& result) {
    if (!result.refused.isEmpty())
        return QStringLiteral("The %1 cover was not printed: %2.")
            .arg(cover::coverName(kind), result.refused);
    if (!result.sent) return QString();
    QStringList sentences;
    if (const QString cut = marginCutNotice(kind, result.cut); !cut.isEmpty()) sentences << cut;
    if (!result.shortfall.isEmpty())
        sentences << QStringLiteral("The %1 cover's bleed and marks have only %2.")
                         .arg(cover::coverName(kind), result.shortfall);
    if (!result.calibrationProblem.isEmpty()) sentences << result.calibrationProblem;
    return sentences.join(u' ');
}

QString heldNotice(const DocumentResult& result) {
    if (result.heldBy.isEmpty()) return QString();
    return cups::printFailureText(cups::PrintFailure::PrinterPaused, result.heldBy);
}

QString marginCutNotice(const cover::CoverFormat& kind, const QString& cut) {
    if (cut.isEmpty()) return QString();
    return QStringLiteral("The printer's margins cut off %1 of the %2 cover.")
        .arg(cut, cover::coverName(kind));
}

} // namespace vexa::printing
