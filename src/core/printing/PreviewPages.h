#pragma once

#include "core/cover/CoverPage.h"
#include "core/cover/SheetChoices.h"
#include "core/printing/PrintJob.h"

#include "core/cover/PageContent.h"

#include <QImage>
#include <QString>

#include <vector>

namespace vexa::printing {

// A cover on a preview page, outlined and named: where it will print, in points of the page.
struct PreviewCover {
    const cover::CoverFormat* kind = nullptr;
    QRectF place;
};

// One page of the print preview: a cover, or a packed sheet of covers, as it will print.
struct PreviewPage {
    // The cover of a page of its own; nothing for a packed sheet.
    const cover::CoverFormat* kind = nullptr;
    cover::Paper paper = cover::Paper::Letter;
    // Points; a null printable area when there is no printer. A packed sheet's page is the
    // paper as it feeds, and its cover rectangle is empty: `covers` says where they go.
    cover::CoverPage page;
    QImage picture; // of the cover of a page of its own
    // How that picture takes the cover's shape, as it prints.
    cover::Framing framing;
    // What is drawn on the page as the user holds it: the covers with their bleed and marks,
    // moved and scaled as the printer's calibration corrects it.
    cover::PageContent content;
    // "Calibration of alpha on Letter paper applied: ..." or why it could not be; empty when
    // the printer has none.
    QString calibration;
    // Every cover on the page.
    std::vector<PreviewCover> covers;
};

// Every selected cover that has a picture, in table order, each on its own paper in its own
// orientation. On `printer` the printable area is its margins turned its way and the cover
// starts at its corner; with no printer (an empty name), or one that cannot tell its
// margins, the page has no printable area and the cover starts at the page's corner. Marks
// and bleed as `trim` says; the printer's stored calibration for the paper applied.
std::vector<PreviewPage> previewPages(const cover::CoverKinds& selection,
                                      const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                      const QString& printer, const cover::TrimOptions& trim = {});

// The pages as the sheets choice prints them, and how many one cover a page takes.
struct PreviewSheets {
    std::vector<PreviewPage> pages;
    bool packed = false;
    int oneCoverAPage = 0;
};

// With one cover a page, previewPages' pages, each as often as its copies; packed, a page per
// sheet that printPackedCovers makes on `printer` (the whole paper without one), in order: a
// packed sheet as the paper feeds, a cover too large to share one as on a page of its own.
PreviewSheets previewSheets(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                            cover::PaperChoice paper, const QString& printer,
                            const cover::TrimOptions& trim, const cover::SheetChoices& sheets);

// "3 sheets instead of 5"; "2 sheets, as with one cover a page" when packing saves none.
QString sheetsSavedText(int sheets, int oneCoverAPage);

} // namespace vexa::printing
