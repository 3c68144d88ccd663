#include "PageCodes.h"

#include "CoverFormats.h"

#include <QImage>

namespace vexa::print {

std::optional<QPageLayout::Orientation> orientationForCode(int code) {
    switch (code) {
    case kPortrait:
        return QPageLayout::Portrait;
    case kLandscape:
        return QPageLayout::Landscape;
    default:
        return std::nullopt;
    }
}

std::optional<QPageSize::PageSizeId> paperForCode(int code) {
    switch (code) {
    case kPaperLetter:
        return QPageSize::Letter;
    case kPaperLegal:
        return QPageSize::Legal;
    default:
        return std::nullopt;
    }
}

QImage opaquePicture(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace vexa::print
