#pragma once

#include <QString>

#include <sys/types.h>

namespace vexa::test {

// A private X server (Xvfb) with a notification area (trayer) on it, for the tests of the tray
// icon; on request also a window manager (openbox) and a compositor (xcompmgr) on a larger
// screen, for the tests of window placement. All end with this object.
class XServerWithTray {
public:
    static constexpr int kDesktopWidth = 1920;
    static constexpr int kDesktopHeight = 1080;

    explicit XServerWithTray(bool withWindowManager = false) : m_desktop(withWindowManager) {}
    XServerWithTray(const XServerWithTray&) = delete;
    XServerWithTray& operator=(const XServerWithTray&) = delete;
    ~XServerWithTray();

    // Starts both; false with a reason in error() when the server does not come up.
    bool start();

    // ":N", valid after start().
    const QString& display() const { return m_display; }
    const QString& error() const { return m_error; }

private:
    bool startDesktop(char** env);

    bool m_desktop;
    pid_t m_server = -1;
    pid_t m_tray = -1;
    pid_t m_windowManager = -1;
    pid_t m_compositor = -1;
    QString m_display;
    QString m_error;
};

} // namespace vexa::test
