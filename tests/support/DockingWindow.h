#pragma once

// A window that docks itself when minimised, the way the main window does; shared by the tray
// tests on an X notification area and on a StatusNotifierItem host.
#include "shell/TrayDock.h"

#include <QEvent>
#include <QIcon>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace vexa::test {

inline constexpr QSize kFixedSize{420, 260};

// A window that docks itself when minimised, the way the main window does.
class DockingWindow : public QWidget {
public:
    DockingWindow() : dock(this) {
        setFixedSize(kFixedSize);
        QPixmap face(32, 32);
        face.fill(Qt::darkBlue);
        setWindowIcon(QIcon(face));
    }
    shell::TrayDock dock;

protected:
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange && isMinimized()) dock.windowMinimised();
    }
};

inline void minimise(DockingWindow& window) {
    window.showMinimized();
    // The window manager's answer arrives through the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.dock.inTray(); }, 20000));
}

} // namespace vexa::test
