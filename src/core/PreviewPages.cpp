#include "PreviewPages.h"

#include "CalibrationStore.h"
#include "PaperChoice.h"
#include "PrinterMedia.h"
#include "TrimmedCoverPage.h"

namespace vexa::print {

std::vector<PreviewPage> previewPages(const CoverKinds& selection, const CoverRecords& pictures,
                                      PaperChoice paper, const QString& printer,
                                      const TrimOptions& trim) {
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
        page.content = PageContent(page.page.page);
        page.page.cover =
            addTrimmedCover(page.content, page.page, kind, PageImage(page.picture), trim).cover;
        if (!printer.isEmpty()) {
            const StoredCalibration stored = settingsCalibrations().read(printer, page.paper);
            if (stored.calibration) {
                page.content = calibratedView(page.content, orientation, turn, *stored.calibration);
                page.calibration = QStringLiteral("Calibration of %1 on %2 paper applied: %3.")
                                       .arg(printer, paperName(page.paper),
                                            describeCalibration(*stored.calibration));
            } else {
                page.calibration = stored.problem;
            }
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace vexa::print
