#pragma once

#include "CoverPdf.h"
#include "PagedCoverPrinter.h"

#include <QString>

namespace vexa::print {

// Covers into one PDF file instead of onto paper: each document becomes one page of its
// own paper size and orientation, and the picture sits at the page's top-left corner
// (a file has no unprintable margin). The file is written by finish().
class PdfCoverPrinter final : public PagedCoverPrinter {
public:
    explicit PdfCoverPrinter(QString path);

    // A file is always there to write to.
    bool followDefault() override { return true; }
    bool drawPicture(const QImage& picture, double x, double y, double width,
                     double height) override;
    DocumentResult endDocument() override;

    // Closes the file. False when it could not be written or holds no page.
    bool finish() { return m_pdf.finish(); }

    int pageCount() const { return m_pdf.pageCount(); }

private:
    CoverPdf m_pdf;
    bool m_pageOpen = false;
};

} // namespace vexa::print
