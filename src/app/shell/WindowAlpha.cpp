#include "WindowAlpha.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace vexa {

bool setWindowAlpha(QWidget* window, std::uint8_t alpha) {
    if (!window || !window->isWindow())
        return false; // only top-level windows have an opacity of their own
    const double opacity = alpha / 255.0;
    window->setWindowOpacity(opacity);
    // The X11 backend only queues the opacity change; without this the steps of a fade sit in
    // the queue and reach the compositor all at once, when the window closes.
    if (window->windowHandle() && window->windowHandle()->handle()) QGuiApplication::sync();
    return std::abs(window->windowOpacity() - opacity) < 0.5 / 255.0;
}

} // namespace vexa
