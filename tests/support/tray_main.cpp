// main() of the tests on a private X server: a notification area, with VEXA_TEST_WINDOW_MANAGER
// also a window manager and a compositor, and the application on it. Listing the tests needs
// none of them.
#include "core/base/ProcessEnd.h"
#include "support/TestSupport.h"
#if defined(VEXA_TEST_SESSION_BUS) || defined(VEXA_TEST_ACCESSIBILITY)
#define VEXA_TEST_PRIVATE_BUS
#include "support/PrivateSessionBus.h"
#endif
#include "support/XServerWithTray.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

int runTests(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strncmp(argv[i], "--gtest_list_tests", 18) == 0;

#ifdef VEXA_TEST_WINDOW_MANAGER
    vexa::test::XServerWithTray x(true);
#else
    vexa::test::XServerWithTray x;
#endif
#ifdef VEXA_TEST_PRIVATE_BUS
    vexa::test::PrivateSessionBus bus;
#endif
    if (listing) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        if (!x.start()) {
            std::fprintf(stderr, "No X server for the tray tests: %s\n", qPrintable(x.error()));
            return 1;
        }
        qputenv("DISPLAY", x.display().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
#ifdef VEXA_TEST_PRIVATE_BUS
        if (!bus.startBus()) {
            std::fprintf(stderr, "No session bus: %s\n", qPrintable(bus.error()));
            return 1;
        }
#ifdef VEXA_TEST_ACCESSIBILITY
        if (!bus.startAccessibilityBus()) {
            std::fprintf(stderr, "No accessibility bus: %s\n", qPrintable(bus.error()));
            return 1;
        }
#endif
#else
        // No desktop bus: the icon goes to the X notification area that trayer provides.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
#endif
    }
    // The recovery copies of the sets that tests leave unsaved go to a folder of this run.
    QTemporaryDir state;
    if (state.isValid()) qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QApplication app(argc, argv);
    if (!listing) {
#ifdef VEXA_TEST_SESSION_BUS
        if (!bus.startWatcher()) {
            std::fprintf(stderr, "No StatusNotifierItem watcher: %s\n", qPrintable(bus.error()));
            return 1;
        }
#endif
        QDeadlineTimer ready(30000);
        while (!QSystemTrayIcon::isSystemTrayAvailable() && !ready.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            std::fprintf(stderr, "trayer did not provide a notification area on %s\n",
                         qPrintable(x.display()));
            return 1;
        }
#ifdef VEXA_TEST_WINDOW_MANAGER
        // The window manager announces itself on the root window once it manages windows.
        const auto managed = [] {
            QProcess xprop;
            xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
            return xprop.waitForFinished(20000) &&
                   xprop.readAllStandardOutput().contains("window id");
        };
        while (!managed() && !ready.hasExpired()) QThread::msleep(50);
        if (!managed()) {
            std::fprintf(stderr, "openbox did not start on %s\n", qPrintable(x.display()));
            return 1;
        }
#endif
    }
    // Referencing the test support library links in its sanitizer settings (the suppressions
    // of leaks inside system libraries such as D-Bus, which the X platform loads).
    (void)vexa::test::sourceDir();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef VEXA_TEST_PRIVATE_BUS
    bus.stopWatcher();
#endif
    return result;
}

} // namespace

// Ends as the program does, without the libraries' exit handlers (see endProcess), once the
// X server and the buses have been stopped.
int main(int argc, char** argv) {
    vexa::base::endProcess(runTests(argc, argv));
}
