#include "PreviewPages.h"

#include "PrinterMedia.h"
#include "StartupPrinter.h"

#include <CoverHost.h>

namespace vexa::print {

std::vector<PreviewPage> previewPages(const PrintFlags& flags, const CoverHost& pictures,
                                      PaperChoice paper, const QString& printer) {
    std::vector<PreviewPage> pages;
    const LandscapeTurn turn =
        printer.isEmpty() ? LandscapeTurn::Plus90 : printerLandscapeTurn(printer);
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i) {
        if (flags[i] != kSelected) continue;
        const CoverFormat& kind = kCoverFormats[i];
        PreviewPage page;
        page.picture = pictures.slotPicture(QString::fromLatin1(kind.slot));
        if (page.picture.isNull()) continue; // prints nothing, so shows nothing
        page.kind = &kind;
        page.paper = paperFor(kind, paper);
        const QSizeF paperSize = pageSizeForPaper(page.paper).size(QPageSize::Point);
        const auto orientation =
            kind.orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
        const std::optional<QMarginsF> margins =
            printer.isEmpty() ? std::nullopt : printerPaperMargins(printer, page.paper);
        page.page =
            layoutCoverPage(paperSize, orientation,
                            margins ? orientedMargins(*margins, orientation, turn) : QMarginsF(),
                            QSizeF(twipsToDevice(kind.width, kPointsPerInch),
                                   twipsToDevice(kind.height, kPointsPerInch)));
        if (!margins) page.page.printable = QRectF();
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace vexa::print
