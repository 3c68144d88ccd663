// The tray of desktops that host StatusNotifierItems (KDE, GNOME with AppIndicator): Qt shows
// the icon as an item on the session bus, and a click there arrives as a single activation.
#include "support/DockingWindow.h"
#include "support/PrivateSessionBus.h"

#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexa;

TEST(TrayDockOnSessionBusTest, OneClickOnTheStatusNotifierItemBringsTheWindowBack) {
    test::PrivateSessionBus* bus = test::PrivateSessionBus::current();
    ASSERT_NE(bus, nullptr);
    test::DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    test::minimise(window);
    ASSERT_NE(window.dock.trayIcon(), nullptr);

    // The icon is an item on the bus, not a window in the X notification area.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bus->registeredItems().isEmpty(); }, 20000));
    bus->activate(bus->registeredItems().constLast());

    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.dock.inTray(); }, 20000));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(window.dock.trayIcon(), nullptr);
}
