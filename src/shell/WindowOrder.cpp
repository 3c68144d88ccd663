#include "shell/WindowOrder.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace vexa::shell {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// On X11 the window manager is asked to keep the window above the others or to stop, as any
// program asks it for a mapped window. Qt's own flag would do the same, but Qt then replaces
// the X window by a new one the next time the window is shown (after every trip through the
// tray), and windows that are transient for the old one lose their owner.
bool askWindowManagerForAbove(QWidget* window, bool onTop) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const QWindow* handle = window->windowHandle();
    if (!x11 || !handle || !handle->handle()) return false;
    xcb_connection_t* connection = x11->connection();
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t above = internAtom(connection, "_NET_WM_STATE_ABOVE");
    if (state == XCB_ATOM_NONE || above == XCB_ATOM_NONE) return false;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(handle->winId());
    message.type = state;
    message.data.data32[0] = onTop ? 1 : 0; // _NET_WM_STATE_ADD or _NET_WM_STATE_REMOVE
    message.data.data32[1] = above;
    message.data.data32[3] = 1; // from an ordinary application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    static_assert(sizeof(message) == 32, "sent as one whole X event");
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    return true;
}

void setStaysOnTop(QWidget* window, bool onTop) {
    if (!window || !window->isWindow()) return;
    if (askWindowManagerForAbove(window, onTop)) return;
    if (QWindow* handle = window->windowHandle()) {
        // The native window takes the hint as it is, without being hidden and shown again as
        // a change of the widget's flags would do.
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    } else {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    }
}

} // namespace

void keepAboveOthers(QWidget* window) {
    setStaysOnTop(window, true);
}

void stopKeepingAbove(QWidget* window) {
    setStaysOnTop(window, false);
}

bool bringToForeground(QWidget* window) {
    if (!window || !window->isWindow()) return false;
    if (window->isActiveWindow()) return true;
    if (!window->isVisible()) return false;
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace vexa::shell
