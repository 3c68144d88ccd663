#pragma once

#include "core/cover/CoverPage.h"
#include "core/printing/PrintJob.h"

#include "core/cover/PageContent.h"

#include <QImage>
#include <QString>

#include <vector>

namespace vexa::printing {

// One page of the print preview: a cover as it will print.
struct PreviewPage {
    const cover::CoverFormat* kind = nullptr;
    cover::Paper paper = cover::Paper::Letter;
    cover::CoverPage page; // points; a null printable area when there is no printer
    QImage picture;
    // How the picture takes the cover's shape, as it prints.
    cover::Framing framing;
    // What is drawn on the page as the user holds it: the cover with its bleed and marks,
    // moved and scaled as the printer's calibration corrects it.
    cover::PageContent content;
    // "Calibration of alpha on Letter paper applied: ..." or why it could not be; empty when
    // the printer has none.
    QString calibration;
};

// Every selected cover that has a picture, in table order, each on its own paper in its own
// orientation. On `printer` the printable area is its margins turned its way and the cover
// starts at its corner; with no printer (an empty name), or one that cannot tell its
// margins, the page has no printable area and the cover starts at the page's corner. Marks
// and bleed as `trim` says; the printer's stored calibration for the paper applied.
std::vector<PreviewPage> previewPages(const cover::CoverKinds& selection,
                                      const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                      const QString& printer, const cover::TrimOptions& trim = {});

} // namespace vexa::printing
