#include "core/printing/PagedCoverPrinter.h"

#include "core/cover/PaperChoice.h"

namespace vexa::printing {

bool PagedCoverPrinter::setOrientation(cover::Orientation orientation) {
    m_orientation = cover::pageOrientation(orientation);
    return true;
}

bool PagedCoverPrinter::setPaperSize(cover::Paper paper) {
    m_paper = paper;
    return true;
}

QSizeF PagedCoverPrinter::paperSize() const {
    return cover::pageSizeForPaper(m_paper).size(QPageSize::Point);
}

} // namespace vexa::printing
