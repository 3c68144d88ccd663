#pragma once

#include "CoverPage.h"

#include <QImage>
#include <QString>

#include <memory>

class QPainter;
class QPdfWriter;

namespace vexa::print {

// The one routine that puts a cover's picture on a page, for the printer, the PDF file and
// the preview alike: the whole picture stretched into `target` (device units of the
// painter), opaque, and without lossy re-compression where the device would compress.
void paintCoverPicture(QPainter& painter, const QImage& picture, const QRectF& target);

// Cover pages into one PDF file, each page of its own size with the picture where the page
// puts it. The file is complete after finish().
class CoverPdf {
public:
    explicit CoverPdf(QString path);
    ~CoverPdf();
    CoverPdf(const CoverPdf&) = delete;
    CoverPdf& operator=(const CoverPdf&) = delete;

    // Starts a page of `pageSize` (points, as oriented). False when the file cannot be
    // written (then no later page is started either).
    bool newPage(const QSizeF& pageSize);
    // Puts a picture on the current page, stretched into `cover` (points).
    bool drawCover(const QRectF& cover, const QImage& picture);
    // Both for a page that holds one cover.
    bool addPage(const CoverPage& page, const QImage& picture) {
        return newPage(page.page) && drawCover(page.cover, picture);
    }
    // Closes the file. False when it could not be written or holds no page.
    bool finish();

    int pageCount() const { return m_pages; }

private:
    QString m_path;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_failed = false;
    int m_pages = 0;
};

} // namespace vexa::print
