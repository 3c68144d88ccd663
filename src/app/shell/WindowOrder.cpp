#include "WindowOrder.h"

#include <QWidget>
#include <QWindow>

namespace vexa {

namespace {

void setStaysOnTop(QWidget* window, bool onTop) {
    if (!window || !window->isWindow()) return;
    if (QWindow* handle = window->windowHandle()) {
        // The native window takes the hint as it is, without being hidden and shown again as
        // a change of the widget's flags would do.
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    } else {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    }
}

} // namespace

void MakeTopMost(QWidget* window) {
    setStaysOnTop(window, true);
}

void MakeNormal(QWidget* window) {
    setStaysOnTop(window, false);
}

bool ForceForegroundWindow(QWidget* window) {
    if (!window || !window->isWindow()) return false;
    if (window->isActiveWindow()) return true;
    if (!window->isVisible()) return false;
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace vexa
