#pragma once

#include <QByteArray>
#include <QImage>
#include <QLineF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <vector>

namespace vexa::test {

// Page sizes in points, one per page, as pdfinfo reports them; empty when the file is no
// readable PDF.
std::vector<QSizeF> pdfPageSizes(const QString& pdfFile);

// The pixel sizes of the pictures embedded in the file, in page order (pdfimages -list).
std::vector<QSize> pdfImageSizes(const QString& pdfFile);

// One picture embedded in the file, as pdfimages -list tells it.
struct PdfImageEntry {
    int page = 0;
    QSize size;
    QString colour;   // "rgb", "gray", "cmyk", ...
    QString encoding; // "jpeg" for DCT data, "image" for Flate-compressed pixels, ...
    int object = 0;   // the object number: a picture stored once has one for all its pages
    int bits = 0;     // bits per colour sample (bpc)
};
std::vector<PdfImageEntry> pdfImageList(const QString& pdfFile);

// The data of the first picture as `pdfimages -j` writes it: a JPEG picture's very bytes;
// empty when the first picture is not JPEG data.
QByteArray firstPdfJpeg(const QString& pdfFile);

// The data of every JPEG picture in the file, in the order pdfimages -j finds them.
std::vector<QByteArray> pdfJpegData(const QString& pdfFile);

// A page box of page 1 as pdfinfo -box gives it ("MediaBox", "TrimBox", "BleedBox"): left,
// bottom, right, top in points, PDF's way up. pdfinfo reports a box the page lacks as the
// box it falls back to.
QRectF pdfPageBox(const QString& pdfFile, const QString& name);

// qpdf --check: empty when the file passes without a warning, else what qpdf said.
QString qpdfProblems(const QString& pdfFile);

// The first picture embedded in the file, as pdfimages extracts it (PNG, no re-sampling);
// a null image when there is none.
QImage firstPdfImage(const QString& pdfFile);

// A stroked line of page 1 as its drawing operators give it, in points with the origin at
// the page's top-left corner.
struct PdfLine {
    QLineF line;
    double width = 0;
};
std::vector<PdfLine> pdfPageLines(const QString& pdfFile);

// The words on the file's pages as pdftotext reads them (-raw); empty on failure.
QString pdfText(const QString& pdfFile);

// Page `page` (1-based) rendered by pdftoppm at `dpi`; a null image on failure.
QImage renderPdfPage(const QString& pdfFile, int page, int dpi);

// The part `area` (pixels at `dpi`, from the page's top-left corner) of page `page` rendered by
// pdftoppm; a null image on failure. Only that part is rendered, so a fine resolution stays
// cheap.
QImage renderPdfArea(const QString& pdfFile, int page, int dpi, const QRect& area);

// The smallest rectangle holding every pixel that is not near white; empty for a blank page.
QRect inkBox(const QImage& page);

// The bounding box of the pixels close to `colour`.
QRect colourBox(const QImage& page, QRgb colour);

} // namespace vexa::test
