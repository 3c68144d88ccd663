#include "PreviewPages.h"

#include "CalibrationStore.h"
#include "PaperChoice.h"
#include "PrinterMedia.h"
#include "StartupPrinter.h"
#include "TrimmedCoverPage.h"

#include <CoverHost.h>

namespace vexa::print {

std::vector<PreviewPage> previewPages(const PrintFlags& flags, const CoverHost& pictures,
                                      PaperChoice paper, const QString& printer,
                                      const TrimOptions& trim) {
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

QString defaultPrinterName() {
    return defaultPrinterInfo().printerName();
}

} // namespace vexa::print
