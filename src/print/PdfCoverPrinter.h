#pragma once

#include "PagedCoverPrinter.h"

#include <QString>

#include <memory>

class QPainter;
class QPdfWriter;

namespace vexa::print {

// Covers into one PDF file instead of onto paper: each document becomes one page of its
// own paper size and orientation, and the picture sits at the page's top-left corner
// (a file has no unprintable margin). The file is written by finish().
class PdfCoverPrinter final : public PagedCoverPrinter {
public:
    explicit PdfCoverPrinter(QString path);
    ~PdfCoverPrinter() override;
    PdfCoverPrinter(const PdfCoverPrinter&) = delete;
    PdfCoverPrinter& operator=(const PdfCoverPrinter&) = delete;

    // A file is always there to write to.
    bool followDefault() override { return true; }
    bool drawPicture(const QImage& picture, double x, double y, double width,
                     double height) override;
    bool endDocument() override;

    // Closes the file. False when it could not be written or holds no page.
    bool finish();

    int pageCount() const { return m_pages; }

private:
    QPageLayout nextLayout() const;

    QString m_path;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_pageOpen = false;
    bool m_failed = false;
    int m_pages = 0;
};

} // namespace vexa::print
