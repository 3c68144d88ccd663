#pragma once

#include <QImage>
#include <QRect>
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

// The first picture embedded in the file, as pdfimages extracts it (PNG, no re-sampling);
// a null image when there is none.
QImage firstPdfImage(const QString& pdfFile);

// Page `page` (1-based) rendered by pdftoppm at `dpi`; a null image on failure.
QImage renderPdfPage(const QString& pdfFile, int page, int dpi);

// The smallest rectangle holding every pixel that is not near white; empty for a blank page.
QRect inkBox(const QImage& page);

// The bounding box of the pixels close to `colour`.
QRect colourBox(const QImage& page, QRgb colour);

} // namespace vexa::test
