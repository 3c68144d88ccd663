#include "PrintJob.h"

#include "CoverPrinter.h"

#include <CoverHost.h>

#include <QStringList>

namespace vexa::print {

RunEnd printSelectedCovers(const PrintFlags& flags, const CoverHost& host, CoverPrinter& printer,
                           PrintProgress& progress, PaperChoice paper) {
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i) {
        if (flags[i] != kSelected) continue;
        const CoverFormat& kind = kCoverFormats[i];
        const int paperCode = paperFor(kind, paper);
        progress.coverStarted(kind);
        printer.setPaperSize(paperCode);
        printer.setOrientation(kind.orientation);
        printer.setCoverKind(kind);
        printer.drawPicture(host.slotPicture(QString::fromLatin1(kind.slot)), 0, 0, kind.width,
                            kind.height);
        // Ended even when nothing was drawn: the printer then sends nothing.
        const DocumentResult result = printer.endDocument();
        if (paperCode == kPaperLegal) printer.setPaperSize(kPaperLetter);
        progress.coverFinished(kind, result);
        if (!progress.continueAfterCover()) return RunEnd::Stopped;
    }
    return RunEnd::Finished;
}

QString coverNotice(const CoverFormat& kind, const DocumentResult& result) {
    if (!result.refused.isEmpty())
        return QStringLiteral("The %1 cover was not printed: %2.")
            .arg(coverName(kind), result.refused);
    if (!result.sent) return QString();
    QStringList sentences;
    if (!result.cut.isEmpty())
        sentences << QStringLiteral("The printer's margins cut off %1 of the %2 cover.")
                         .arg(result.cut, coverName(kind));
    if (!result.shortfall.isEmpty())
        sentences << QStringLiteral("The %1 cover's bleed and marks have only %2.")
                         .arg(coverName(kind), result.shortfall);
    if (!result.calibrationProblem.isEmpty()) sentences << result.calibrationProblem;
    return sentences.join(u' ');
}

} // namespace vexa::print
