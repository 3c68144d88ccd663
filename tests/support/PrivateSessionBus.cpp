#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vexa::test {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kConnectionName = QStringLiteral("vexa-test-watcher");
PrivateSessionBus* g_current = nullptr;

} // namespace

// The watcher's D-Bus face: the methods and properties Qt's tray icon uses.
class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const {
        QMutexLocker lock(&m_mutex);
        return m_items;
    }

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        // An item names either its bus name or its object path; the sender's name is the bus.
        const QString name = service.startsWith('/') ? message.service() : service;
        {
            QMutexLocker lock(&m_mutex);
            m_items.append(name);
        }
        emit StatusNotifierItemRegistered(name);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    mutable QMutex m_mutex;
    QStringList m_items;
};

PrivateSessionBus::PrivateSessionBus() {
    g_current = this;
}

PrivateSessionBus::~PrivateSessionBus() {
    stopWatcher();
    for (pid_t* group : {&m_accessibility, &m_daemon}) {
        if (*group <= 0) continue;
        kill(-*group, SIGTERM); // with what it started
        waitpid(*group, nullptr, 0);
    }
    if (g_current == this) g_current = nullptr;
}

void PrivateSessionBus::stopWatcher() {
    if (!m_thread) return;
    QDBusConnection::disconnectFromBus(kConnectionName);
    QMetaObject::invokeMethod(
        m_watcher, [watcher = m_watcher] { delete watcher; }, Qt::BlockingQueuedConnection);
    m_watcher = nullptr;
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
}

PrivateSessionBus* PrivateSessionBus::current() {
    return g_current;
}

bool PrivateSessionBus::startBus() {
    // dbus-daemon writes the bus's address to the pipe once it accepts connections.
    int fds[2];
    if (pipe(fds) != 0) {
        m_error = QStringLiteral("no pipe");
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawnattr_t group;
    posix_spawnattr_init(&group);
    posix_spawnattr_setflags(&group, POSIX_SPAWN_SETPGROUP); // a group of its own
    const QByteArray fd = "--print-address=" + QByteArray::number(fds[1]);
    const char* argv[] = {"dbus-daemon", "--session",    "--nofork",
                          "--nopidfile", fd.constData(), nullptr};
    const int spawned =
        posix_spawnp(&m_daemon, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        m_daemon = -1;
        m_error = QStringLiteral("dbus-daemon could not be started (scripts/setup installs it)");
        return false;
    }
    QByteArray address;
    char buffer[256];
    pollfd wait{fds[0], POLLIN, 0};
    while (!address.contains('\n') && poll(&wait, 1, 30000) > 0) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        address.append(buffer, got);
    }
    close(fds[0]);
    if (!address.contains('\n')) {
        m_error = QStringLiteral("dbus-daemon gave no address");
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.trimmed());
    return true;
}

bool PrivateSessionBus::startAccessibilityBus() {
    // The launcher takes the name org.a11y.Bus on the session bus and starts the
    // accessibility bus, whose registry (at-spi2-registryd) lists the programs on it. Qt asks
    // the launcher for the bus's address as the application starts, or once the name appears.
    posix_spawnattr_t group;
    posix_spawnattr_init(&group);
    posix_spawnattr_setflags(&group, POSIX_SPAWN_SETPGROUP);
    const char* argv[] = {"/usr/libexec/at-spi-bus-launcher", "--launch-immediately", nullptr};
    const int spawned =
        posix_spawn(&m_accessibility, argv[0], nullptr, &group, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&group);
    if (spawned != 0) {
        m_accessibility = -1;
        m_error = QStringLiteral("at-spi-bus-launcher could not be started (scripts/setup "
                                 "installs at-spi2-core)");
        return false;
    }
    // Qt serves the accessibility bus only when asked to, or when a screen reader is on.
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    return true;
}

bool PrivateSessionBus::startWatcher() {
    const QString address = QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
    m_thread = std::make_unique<QThread>();
    m_thread->start();
    m_watcher = new StatusNotifierWatcher;
    m_watcher->moveToThread(m_thread.get());
    bool ok = false;
    // Registered on the watcher's thread, where the bus then delivers its calls.
    QMetaObject::invokeMethod(
        m_watcher,
        [&] {
            QDBusConnection bus = QDBusConnection::connectToBus(address, kConnectionName);
            ok = bus.isConnected() &&
                 bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), m_watcher,
                                    QDBusConnection::ExportAllSlots |
                                        QDBusConnection::ExportAllSignals |
                                        QDBusConnection::ExportAllProperties) &&
                 bus.registerService(kWatcherService);
        },
        Qt::BlockingQueuedConnection);
    if (!ok) m_error = QStringLiteral("the watcher could not take its name on the bus");
    return ok;
}

QStringList PrivateSessionBus::registeredItems() const {
    return m_watcher ? m_watcher->items() : QStringList();
}

void PrivateSessionBus::activate(const QString& item) const {
    QDBusMessage click = QDBusMessage::createMethodCall(
        item, QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
        QStringLiteral("Activate"));
    click.setArguments({0, 0});
    QDBusConnection(kConnectionName).send(click);
}

} // namespace vexa::test

#include "PrivateSessionBus.moc"
