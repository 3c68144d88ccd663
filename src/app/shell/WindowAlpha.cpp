#include "WindowAlpha.h"

#include <QWidget>

#include <cmath>

namespace vexa {

bool SetWindowAlpha(QWidget* window, std::uint8_t alpha) {
    if (!window || !window->isWindow())
        return false; // only top-level windows have an opacity of their own
    const double opacity = alpha / 255.0;
    window->setWindowOpacity(opacity);
    return std::abs(window->windowOpacity() - opacity) < 0.5 / 255.0;
}

} // namespace vexa
