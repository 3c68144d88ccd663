#include "PagedCoverPrinter.h"

#include "CoverFormats.h"

#include <QImage>

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
    switch (code) {
    case kPaperLetter:
        m_paper = QPageSize::Letter;
        return true;
    case kPaperLegal:
        m_paper = QPageSize::Legal;
        return true;
    default:
        return false;
    }
}

QImage PagedCoverPrinter::opaquePicture(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace vexa::print
