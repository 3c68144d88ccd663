#include "widgets/Letterbox.h"

#include <algorithm>
#include <cmath>

namespace vexa::widgets {

QRect letterboxed(const QRect& area, const QSizeF& shape) {
    const bool usable = std::isfinite(shape.width()) && std::isfinite(shape.height()) &&
                        shape.width() > 0 && shape.height() > 0;
    if (area.isEmpty() || !usable) return area;
    const double aspect = shape.width() / shape.height();
    QSize size = area.size();
    // Compared as products, so a shape exactly the area's keeps it whole.
    if (double(area.width()) * shape.height() > double(area.height()) * shape.width())
        size.setWidth(std::clamp(int(std::lround(area.height() * aspect)), 1, area.width()));
    else
        size.setHeight(std::clamp(int(std::lround(area.width() / aspect)), 1, area.height()));
    const QPoint offset((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
    return QRect(area.topLeft() + offset, size);
}

} // namespace vexa::widgets
