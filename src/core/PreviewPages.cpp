#include "PreviewPages.h"

#include "PrinterMedia.h"

namespace vexa::print {

std::vector<PreviewPage> previewPages(const CoverKinds& selection, const CoverRecords& pictures,
                                      PaperChoice paper, const QString& printer) {
    std::vector<PreviewPage> pages;
    const LandscapeTurn turn =
        printer.isEmpty() ? LandscapeTurn::Plus90 : printerLandscapeTurn(printer);
    for (const CoverFormat& kind : kCoverFormats) {
        if (!selection.testFlag(kind.id)) continue;
        PreviewPage page;
        page.picture = pictures[kind.id].pixels;
        if (page.picture.isNull()) continue; // prints nothing, so shows nothing
        page.kind = &kind;
        page.paper = paperFor(kind, paper);
        const QSizeF paperSize = pageSizeForPaper(page.paper).size(QPageSize::Point);
        const QPageLayout::Orientation orientation = pageOrientation(kind.orientation);
        const std::optional<QMarginsF> margins =
            printer.isEmpty() ? std::nullopt : printerPaperMargins(printer, page.paper);
        page.page =
            layoutCoverPage(paperSize, orientation,
                            margins ? orientedMargins(*margins, orientation, turn) : QMarginsF(),
                            QSizeF(kind.width.toPoints(), kind.height.toPoints()));
        if (!margins) page.page.printable = QRectF();
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace vexa::print
