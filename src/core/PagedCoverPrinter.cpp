#include "PagedCoverPrinter.h"

#include "PaperChoice.h"

namespace vexa::print {

bool PagedCoverPrinter::setOrientation(Orientation orientation) {
    m_orientation = pageOrientation(orientation);
    return true;
}

bool PagedCoverPrinter::setPaperSize(Paper paper) {
    m_paper = paper;
    return true;
}

QSizeF PagedCoverPrinter::paperSize() const {
    return pageSizeForPaper(m_paper).size(QPageSize::Point);
}

} // namespace vexa::print
