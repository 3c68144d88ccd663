#include "core/cover/CoverFit.h"

#include <algorithm>
#include <cmath>

namespace vexa::cover {

namespace {

bool usable(const QSize& pixels, const QSizeF& cover) {
    return !pixels.isEmpty() && cover.width() > 0 && cover.height() > 0 &&
           std::isfinite(cover.width()) && std::isfinite(cover.height());
}

double clampedFraction(double value) {
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.5;
}

// Under Fill, the fraction of the picture's width and height the cover shows; one is 1.
QSizeF shownFraction(const QSize& pixels, const QSizeF& cover) {
    // Compared as products, so a picture exactly of the cover's proportions is shown whole.
    const double wide = double(pixels.width()) * cover.height();
    const double high = double(pixels.height()) * cover.width();
    if (wide > high) return QSizeF(high / wide, 1);
    if (high > wide) return QSizeF(1, wide / high);
    return QSizeF(1, 1);
}

} // namespace

QString fitName(CoverFit fit) {
    switch (fit) {
    case CoverFit::Fill:
        return QStringLiteral("Fill");
    case CoverFit::Fit:
        return QStringLiteral("Fit");
    case CoverFit::Stretch:
        break;
    }
    return QStringLiteral("Stretch");
}

QString fitKey(CoverFit fit) {
    return fitName(fit).toLower();
}

std::optional<CoverFit> fitForKey(const QString& key) {
    for (CoverFit fit : {CoverFit::Stretch, CoverFit::Fill, CoverFit::Fit})
        if (key.compare(fitKey(fit), Qt::CaseInsensitive) == 0) return fit;
    return std::nullopt;
}

FittedPicture fitPicture(const QSize& pixels, const QRectF& cover, const Framing& framing) {
    FittedPicture fitted;
    fitted.place = cover;
    if (framing.fit == CoverFit::Stretch || !usable(pixels, cover.size())) return fitted;
    const QSizeF shown = shownFraction(pixels, cover.size());
    if (framing.fit == CoverFit::Fill) {
        fitted.part = QRectF(clampedFraction(framing.crop.x()) * (1 - shown.width()),
                             clampedFraction(framing.crop.y()) * (1 - shown.height()),
                             shown.width(), shown.height());
        return fitted;
    }
    // Fit: the picture's long side (against the cover's) spans the cover, the other shrinks
    // by the fraction Fill would have shown.
    const QSizeF size(cover.width() * shown.height(), cover.height() * shown.width());
    fitted.place =
        QRectF(cover.left() + (cover.width() - size.width()) / 2,
               cover.top() + (cover.height() - size.height()) / 2, size.width(), size.height());
    return fitted;
}

Framing draggedCrop(const Framing& framing, const QSize& pixels, const QSizeF& cover,
                    const QPointF& delta) {
    Framing moved = framing;
    if (!usable(pixels, cover)) return moved;
    const QSizeF shown = shownFraction(pixels, cover);
    // The overflow in the cover's units: the scaled picture's size less the cover's.
    const double overX = cover.width() / shown.width() - cover.width();
    const double overY = cover.height() / shown.height() - cover.height();
    // Dragging the picture right shows more of its left side: the crop moves left.
    if (overX > 0 && std::isfinite(delta.x()))
        moved.crop.setX(
            std::clamp(clampedFraction(framing.crop.x()) - delta.x() / overX, 0.0, 1.0));
    if (overY > 0 && std::isfinite(delta.y()))
        moved.crop.setY(
            std::clamp(clampedFraction(framing.crop.y()) - delta.y() / overY, 0.0, 1.0));
    return moved;
}

} // namespace vexa::cover
