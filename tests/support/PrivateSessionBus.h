#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include <sys/types.h>

class QThread;

namespace vexa::test {

class StatusNotifierWatcher;

// A private D-Bus session bus (dbus-daemon) and, on request, what desktops offer on theirs:
// - a StatusNotifierItem watcher and host, the notification area of KDE, or of GNOME with its
//   AppIndicator extension (Qt then shows tray icons as items on the bus instead of in an X
//   notification area);
// - the accessibility bus (at-spi-bus-launcher), through which screen readers read windows.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;
    ~PrivateSessionBus();

    // Starts the bus and points DBUS_SESSION_BUS_ADDRESS at it; before the application exists.
    bool startBus();
    // Starts the accessibility bus and asks Qt to serve it; before the application exists.
    bool startAccessibilityBus();
    // Puts the watcher on the bus, answering on a thread of its own, since Qt asks it with
    // blocking calls from the window's thread; after the application exists and before the
    // first tray icon, since Qt asks only once.
    bool startWatcher();
    // Takes the watcher off the bus; before the application ends.
    void stopWatcher();
    const QString& error() const { return m_error; }

    // The bus names of the items registered so far; from any thread.
    QStringList registeredItems() const;
    // Clicks an item as a host does (its Activate method); does not wait for the answer.
    void activate(const QString& item) const;

    // The instance tray_main started, or null.
    static PrivateSessionBus* current();

private:
    pid_t m_daemon = -1;
    pid_t m_accessibility = -1;
    QString m_error;
    std::unique_ptr<QThread> m_thread;
    StatusNotifierWatcher* m_watcher = nullptr; // lives in m_thread
};

} // namespace vexa::test
