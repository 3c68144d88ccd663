#include "app/DisplayPlatform.h"

namespace vexa::app {

DisplaySession DisplaySession::fromEnvironment() {
    DisplaySession session;
    session.qtPlatform = qEnvironmentVariable("QT_QPA_PLATFORM");
    session.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    session.x11Display = qEnvironmentVariable("DISPLAY");
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE");
    return session;
}

QString preferredPlatform(const DisplaySession& session, bool platformOnCommandLine) {
    if (platformOnCommandLine || !session.qtPlatform.isEmpty()) return {};
    const bool wayland =
        !session.waylandDisplay.isEmpty() ||
        session.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
    if (!wayland || session.x11Display.isEmpty()) return {};
    return QStringLiteral("xcb;wayland");
}

} // namespace vexa::app
