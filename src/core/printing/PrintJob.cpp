#include "core/printing/PrintJob.h"

#include "core/printing/CoverPrinter.h"

#include <QStringList>

namespace vexa::printing {

RunEnd printSelectedCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                           CoverPrinter& printer, PrintProgress& progress,
                           cover::PaperChoice paper) {
    for (const cover::CoverFormat& kind : cover::kCoverFormats) {
        if (!selection.testFlag(kind.id)) continue;
        const cover::Paper kindsPaper = cover::paperFor(kind, paper);
        progress.coverStarted(kind);
        printer.setPaperSize(kindsPaper);
        printer.setOrientation(kind.orientation);
        printer.setCoverKind(kind);
        printer.drawPicture(pictures[kind.id], base::Twips(0), base::Twips(0), kind.width,
                            kind.height);
        // Ended even when nothing was drawn: the printer then sends nothing.
        const DocumentResult result = printer.endDocument();
        if (kindsPaper == cover::Paper::Legal) printer.setPaperSize(cover::Paper::Letter);
        progress.coverFinished(kind, result);
        if (!progress.continueAfterCover()) return RunEnd::Stopped;
    }
    return RunEnd::Finished;
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

QString marginCutNotice(const cover::CoverFormat& kind, const QString& cut) {
    if (cut.isEmpty()) return QString();
    return QStringLiteral("The printer's margins cut off %1 of the %2 cover.")
        .arg(cut, cover::coverName(kind));
}

} // namespace vexa::printing
