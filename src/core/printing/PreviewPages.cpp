#include "core/printing/PreviewPages.h"

#include "core/cover/CalibrationStore.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/SheetPage.h"
#include "core/cover/TrimmedCoverPage.h"
#include "core/cups/PrinterMedia.h"

namespace vexa::printing {

namespace {

// The printer's stored calibration for the paper applied to the page as the user holds it,
// and said; or why it could not be.
void applyCalibration(PreviewPage& page, const QString& printer,
                      QPageLayout::Orientation orientation, cover::LandscapeTurn turn) {
    if (printer.isEmpty()) return;
    const cover::StoredCalibration stored = cover::settingsCalibrations().read(printer, page.paper);
    if (!stored.calibration) {
        page.calibration = stored.problem;
        return;
    }
    page.content = cover::calibratedView(page.content, orientation, turn, *stored.calibration);
    page.calibration = QStringLiteral("Calibration of %1 on %2 paper applied: %3.")
                           .arg(printer, cover::paperName(page.paper),
                                cover::describeCalibration(*stored.calibration));
}

// A cover on a page of its own, as printSelectedCovers prints it.
PreviewPage coverPage(const cover::CoverFormat& kind, const QImage& picture,
                      const cover::Framing& framing, cover::PaperChoice paper,
                      const QString& printer, cover::LandscapeTurn turn,
                      const cover::TrimOptions& trim) {
    PreviewPage page;
    page.picture = picture;
    page.kind = &kind;
    page.paper = cover::paperFor(kind, paper);
    const QSizeF paperSize = cover::pageSizeForPaper(page.paper).size(QPageSize::Point);
    const QPageLayout::Orientation orientation = cover::pageOrientation(kind.orientation);
    const std::optional<QMarginsF> margins =
        printer.isEmpty() ? std::nullopt : cups::printerPaperMargins(printer, page.paper);
    page.page = cover::layoutCoverPage(paperSize, orientation,
                                       margins ? cover::orientedMargins(*margins, orientation, turn)
                                               : QMarginsF(),
                                       QSizeF(kind.width.toPoints(), kind.height.toPoints()));
    if (!margins) page.page.printable = QRectF();
    page.content = cover::PageContent(page.page.page);
    page.framing = framing;
    page.page.cover = cover::addTrimmedCover(page.content, page.page, kind,
                                             cover::PageImage(page.picture), trim, framing)
                          .cover;
    page.covers = {{&kind, page.page.cover}};
    applyCalibration(page, printer, orientation, turn);
    return page;
}

cover::LandscapeTurn turnOf(const QString& printer) {
    return printer.isEmpty() ? cover::LandscapeTurn::Plus90 : cups::printerLandscapeTurn(printer);
}

} // namespace

std::vector<PreviewPage> previewPages(const cover::CoverKinds& selection,
                                      const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                      const QString& printer, const cover::TrimOptions& trim) {
    std::vector<PreviewPage> pages;
    const cover::LandscapeTurn turn = turnOf(printer);
    for (const cover::CoverFormat& kind : cover::kCoverFormats) {
        if (!selection.testFlag(kind.id)) continue;
        const QImage& picture = pictures[kind.id].pixels;
        if (picture.isNull()) continue; // prints nothing, so shows nothing
        pages.push_back(
            coverPage(kind, picture, pictures.framing(kind.id), paper, printer, turn, trim));
    }
    return pages;
}

PreviewSheets previewSheets(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                            cover::PaperChoice paper, const QString& printer,
                            const cover::TrimOptions& trim, const cover::SheetChoices& sheets) {
    PreviewSheets result;
    result.packed = sheets.packs();
    cover::CoverKinds filled;
    for (const cover::CoverKind kind : cover::kAllCoverKinds)
        if (selection.testFlag(kind) && !pictures[kind].isNull()) filled |= kind;
    result.oneCoverAPage = cover::oneCoverAPageCount(filled, sheets.copies);
    if (!sheets.packs()) {
        for (PreviewPage& page : previewPages(filled, pictures, paper, printer, trim))
            for (int copy = 0; copy < sheets.copies; ++copy) result.pages.push_back(page);
        return result;
    }

    const cover::LandscapeTurn turn = turnOf(printer);
    const auto area = [&printer](cover::Paper onPaper) -> cover::SheetArea {
        if (printer.isEmpty())
            return {QRectF(QPointF(0, 0), cover::pageSizeForPaper(onPaper).size(QPageSize::Point))};
        return cups::printerSheetArea(printer, onPaper);
    };
    for (const cover::Sheet& sheet : cover::packSheets(filled, sheets.copies, paper, trim, area)) {
        if (sheet.ownPage) {
            const cover::CoverFormat& kind = *sheet.covers.front().kind;
            result.pages.push_back(coverPage(kind, pictures[kind.id].pixels,
                                             pictures.framing(kind.id), paper, printer, turn,
                                             trim));
            continue;
        }
        PreviewPage page;
        page.paper = sheet.paper;
        const QSizeF paperSize = cover::pageSizeForPaper(sheet.paper).size(QPageSize::Point);
        // Outlined only where the printer tells its margins, as for a page of its own.
        const bool known =
            !printer.isEmpty() && cups::printerPaperMargins(printer, sheet.paper).has_value();
        page.page =
            cover::CoverPage{paperSize, known ? area(sheet.paper).printable : QRectF(), QRectF()};
        page.content = cover::sheetContent(sheet, pictures, trim);
        for (const cover::SheetCover& placed : sheet.covers)
            page.covers.push_back({placed.kind, placed.cover});
        applyCalibration(page, printer, QPageLayout::Portrait, turn);
        result.pages.push_back(std::move(page));
    }
    return result;
}

QString sheetsSavedText(int sheets, int oneCoverAPage) {
    const QString counted =
        sheets == 1 ? QStringLiteral("1 sheet") : QStringLiteral("%1 sheets").arg(sheets);
    if (sheets >= oneCoverAPage) return counted + QStringLiteral(", as with one cover a page");
    return QStringLiteral("%1 instead of %2").arg(counted).arg(oneCoverAPage);
}

} // namespace vexa::printing
