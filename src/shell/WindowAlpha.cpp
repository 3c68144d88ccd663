#include "shell/WindowAlpha.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cmath>

namespace vexa::shell {

bool platformHasWindowOpacity() {
    // Wayland leaves a window's opacity to the compositor: Qt's Wayland platform refuses it
    // with a warning on every call.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool setWindowAlpha(QWidget* window, std::uint8_t alpha) {
    if (!window || !window->isWindow())
        return false; // only top-level windows have an opacity of their own
    if (!platformHasWindowOpacity()) return false;
    const double opacity = alpha / 255.0;
    window->setWindowOpacity(opacity);
    // The X11 backend only queues the opacity change; without a flush the steps of a fade sit
    // in the queue and reach the compositor all at once, when the window closes. Flushing the
    // connection sends them without handling any event meanwhile.
    // (Only the xcb platform has a connection there: offscreen answers with a dead one.)
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && QGuiApplication::platformName() == QLatin1String("xcb") && x11->connection() &&
        window->windowHandle() && window->windowHandle()->handle())
        xcb_flush(x11->connection());
    return std::abs(window->windowOpacity() - opacity) < 0.5 / 255.0;
}

} // namespace vexa::shell
