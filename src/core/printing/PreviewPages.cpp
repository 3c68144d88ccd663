#include "core/printing/PreviewPages.h"

#include "core/cover/CalibrationStore.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimmedCoverPage.h"
#include "core/cups/PrinterMedia.h"

namespace vexa::printing {

std::vector<PreviewPage> previewPages(const cover::CoverKinds& selection,
                                      const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                      const QString& printer, const cover::TrimOptions& trim) {
    std::vector<PreviewPage> pages;
    const cover::LandscapeTurn turn =
        printer.isEmpty() ? cover::LandscapeTurn::Plus90 : cups::printerLandscapeTurn(printer);
    for (const cover::CoverFormat& kind : cover::kCoverFormats) {
        if (!selection.testFlag(kind.id)) continue;
        PreviewPage page;
        page.picture = pictures[kind.id].pixels;
        if (page.picture.isNull()) continue; // prints nothing, so shows nothing
        page.kind = &kind;
        page.paper = cover::paperFor(kind, paper);
        const QSizeF paperSize = cover::pageSizeForPaper(page.paper).size(QPageSize::Point);
        const QPageLayout::Orientation orientation = cover::pageOrientation(kind.orientation);
        const std::optional<QMarginsF> margins =
            printer.isEmpty() ? std::nullopt : cups::printerPaperMargins(printer, page.paper);
        page.page = cover::layoutCoverPage(
            paperSize, orientation,
            margins ? cover::orientedMargins(*margins, orientation, turn) : QMarginsF(),
            QSizeF(kind.width.toPoints(), kind.height.toPoints()));
        if (!margins) page.page.printable = QRectF();
        page.content = cover::PageContent(page.page.page);
        page.framing = pictures.framing(kind.id);
        page.page.cover = cover::addTrimmedCover(page.content, page.page, kind,
                                                 cover::PageImage(page.picture), trim, page.framing)
                              .cover;
        if (!printer.isEmpty()) {
            const cover::StoredCalibration stored =
                cover::settingsCalibrations().read(printer, page.paper);
            if (stored.calibration) {
                page.content =
                    cover::calibratedView(page.content, orientation, turn, *stored.calibration);
                page.calibration = QStringLiteral("Calibration of %1 on %2 paper applied: %3.")
                                       .arg(printer, cover::paperName(page.paper),
                                            cover::describeCalibration(*stored.calibration));
            } else {
                page.calibration = stored.problem;
            }
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace vexa::printing
