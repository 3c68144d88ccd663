#include "PageContent.h"

namespace vexa {

QTransform picturePlacement(const QRectF& target, QuarterTurn turn) {
    // QTransform(m11, m12, m21, m22, dx, dy) maps (x, y) to (m11 x + m21 y + dx,
    // m12 x + m22 y + dy): the picture's top edge runs along (m11, m12), its left edge along
    // (m21, m22), from its top-left corner at (dx, dy).
    const double w = target.width(), h = target.height();
    switch (turn) {
    case QuarterTurn::CounterClockwise: // the top edge runs up the rectangle's left side
        return QTransform(0, -h, w, 0, target.left(), target.bottom());
    case QuarterTurn::Clockwise: // the top edge runs down the rectangle's right side
        return QTransform(0, h, -w, 0, target.right(), target.top());
    case QuarterTurn::None:
        break;
    }
    return QTransform(w, 0, 0, h, target.left(), target.top());
}

} // namespace vexa
