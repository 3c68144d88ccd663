#pragma once

#include "core/cover/PageContent.h"

class QPainter;

namespace vexa::pdf {

// Draws the page's items with `painter`, `scale` device units to the point, the page's
// top-left corner at the painter's origin: the preview's view of exactly what the PDF page
// holds. The paper itself (white) is the caller's to draw. Pictures are drawn opaque, over
// white where they have transparent pixels, and without lossy re-compression where the
// device would compress.
void paintPageContent(QPainter& painter, const cover::PageContent& page, double scale);

} // namespace vexa::pdf
