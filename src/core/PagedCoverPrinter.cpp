#include "PagedCoverPrinter.h"

#include "CoverFormats.h"
#include "PaperChoice.h"

namespace vexa::print {

bool PagedCoverPrinter::setOrientation(int code) {
    switch (code) {
    case kPortrait:
        m_orientation = QPageLayout::Portrait;
        return true;
    case kLandscape:
        m_orientation = QPageLayout::Landscape;
        return true;
    default:
        return false;
    }
}

bool PagedCoverPrinter::setPaperSize(int code) {
    if (!pageSizeForPaper(code).isValid()) return false;
    m_paper = code;
    return true;
}

QSizeF PagedCoverPrinter::paperSize() const {
    return pageSizeForPaper(m_paper).size(QPageSize::Point);
}

} // namespace vexa::print
