#include "PrintJob.h"

#include "CoverPrinter.h"

#include <CoverHost.h>

namespace vexa::print {

RunEnd printSelectedCovers(const PrintFlags& flags, const CoverHost& host, CoverPrinter& printer,
                           PrintProgress& progress) {
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i) {
        if (flags[i] != kSelected) continue;
        const CoverFormat& kind = kCoverFormats[i];
        progress.coverStarted(kind);
        printer.setPaperSize(kind.paper);
        printer.setOrientation(kind.orientation);
        const bool drawn = printer.drawPicture(host.slotPicture(QString::fromLatin1(kind.slot)), 0,
                                               0, kind.width, kind.height);
        // Ended even when nothing was drawn: the printer then sends nothing.
        const bool sent = printer.endDocument();
        if (kind.paper == kPaperLegal) printer.setPaperSize(kPaperLetter);
        progress.coverFinished(kind, drawn && sent);
        if (!progress.continueAfterCover()) return RunEnd::Stopped;
    }
    return RunEnd::Finished;
}

} // namespace vexa::print
