#include "core/picture/PictureOrientation.h"

namespace vexa::picture {

int normalOrientation(int orientation) {
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

bool orientationSwapsSides(int orientation) {
    return normalOrientation(orientation) >= 5;
}

QSize uprightSize(QSize stored, int orientation) {
    return orientationSwapsSides(orientation) ? stored.transposed() : stored;
}

QTransform orientationTransform(int orientation) {
    // QTransform(m11, m12, m21, m22, dx, dy) maps (x, y) to (m11 x + m21 y + dx,
    // m12 x + m22 y + dy).
    switch (normalOrientation(orientation)) {
    case 2:
        return QTransform(-1, 0, 0, 1, 1, 0); // mirrored left to right
    case 3:
        return QTransform(-1, 0, 0, -1, 1, 1); // upside down
    case 4:
        return QTransform(1, 0, 0, -1, 0, 1); // mirrored top to bottom
    case 5:
        return QTransform(0, 1, 1, 0, 0, 0); // transposed
    case 6:
        return QTransform(0, 1, -1, 0, 1, 0); // stored a quarter turn anticlockwise
    case 7:
        return QTransform(0, -1, -1, 0, 1, 1); // transposed the other way
    case 8:
        return QTransform(0, -1, 1, 0, 0, 1); // stored a quarter turn clockwise
    default:
        return QTransform();
    }
}

QImage uprightPicture(const QImage& stored, int orientation) {
    const int o = normalOrientation(orientation);
    if (o == 1 || stored.isNull()) return stored;
    // Qt turns by whole quarters and mirrors by moving whole pixels; the transform's
    // translation does not matter to transformed(), which fits the result to its origin.
    const auto turned = [&](const QImage& image, int degrees) {
        return image.transformed(QTransform().rotate(degrees), Qt::FastTransformation);
    };
    QImage upright;
    switch (o) {
    case 2:
        upright = stored.mirrored(true, false);
        break;
    case 3:
        upright = stored.mirrored(true, true);
        break;
    case 4:
        upright = stored.mirrored(false, true);
        break;
    case 5:
        upright = turned(stored.mirrored(true, false), 270);
        break;
    case 6:
        upright = turned(stored, 90);
        break;
    case 7:
        upright = turned(stored.mirrored(true, false), 90);
        break;
    case 8:
        upright = turned(stored, 270);
        break;
    default:
        upright = stored;
        break;
    }
    upright.setDotsPerMeterX(orientationSwapsSides(o) ? stored.dotsPerMeterY()
                                                      : stored.dotsPerMeterX());
    upright.setDotsPerMeterY(orientationSwapsSides(o) ? stored.dotsPerMeterX()
                                                      : stored.dotsPerMeterY());
    return upright;
}

} // namespace vexa::picture
