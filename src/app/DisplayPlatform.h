#pragma once

// Which of Qt's display platforms VEXA asks for when the user names none.

#include <QString>

namespace vexa::app {

// What the session says about its displays, from the environment.
struct DisplaySession {
    QString qtPlatform;     // QT_QPA_PLATFORM: the user's choice of platform
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString x11Display;     // DISPLAY: on a Wayland desktop, its XWayland server
    QString sessionType;    // XDG_SESSION_TYPE

    static DisplaySession fromEnvironment();
};

// "xcb;wayland" for a Wayland session that also offers X11 (XWayland), when the user chose no
// platform (neither -platform nor QT_QPA_PLATFORM): VEXA places its notices, splash and
// dialogs on the screen, which X11 lets a window do and Wayland does not; Wayland stays the
// fallback should the X server not answer. Empty otherwise: Qt's own choice stands.
QString preferredPlatform(const DisplaySession& session, bool platformOnCommandLine);

} // namespace vexa::app
