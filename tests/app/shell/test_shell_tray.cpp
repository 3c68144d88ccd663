// Docking into a real notification area: Xvfb with trayer as the tray host.
#include "ProgramFolder.h"
#include "ShellCommands.h"
#include "TrayDock.h"
#include "frmcovercreator.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

using namespace vexa;

namespace {

constexpr QSize kFixedSize{420, 260};

// A window that docks itself when minimised, the way the main window does.
class DockingWindow : public QWidget {
public:
    DockingWindow() : dock(this) {
        setFixedSize(kFixedSize);
        QPixmap face(32, 32);
        face.fill(Qt::darkBlue);
        setWindowIcon(QIcon(face));
    }
    TrayDock dock;

protected:
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange && isMinimized()) dock.windowMinimised();
    }
};

void minimise(DockingWindow& window) {
    window.showMinimized();
    // The window manager's answer arrives through the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.dock.inTray(); }, 20000));
}

bool staysOnTop(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

TEST(TrayDockOnXTest, MinimisingHidesTheWindowBehindAnIconWithTheProgramsTip) {
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    minimise(window);
    EXPECT_FALSE(window.isVisible());
    QSystemTrayIcon* icon = window.dock.trayIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->isVisible());
    EXPECT_EQ(icon->toolTip(), "VEXA 6");
    EXPECT_FALSE(icon->icon().isNull());
    EXPECT_EQ(icon->contextMenu(), nullptr);
}

TEST(TrayDockOnXTest, OnlyADoubleClickOnTheIconBringsTheWindowBack) {
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    minimise(window);
    QSystemTrayIcon* icon = window.dock.trayIcon();
    ASSERT_NE(icon, nullptr);

    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
        emit icon->activated(reason);
        QCoreApplication::processEvents();
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(window.dock.inTray());
        EXPECT_EQ(window.dock.trayIcon(), icon);
    }

    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(window.dock.inTray());
    EXPECT_EQ(window.dock.trayIcon(), nullptr);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.size(), kFixedSize);
    EXPECT_FALSE(staysOnTop(window)); // on top only for a moment
}

TEST(TrayDockOnXTest, ASecondMinimiseDocksAgain) {
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int round = 0; round < 2; ++round) {
        minimise(window);
        EXPECT_FALSE(window.isVisible());
        ASSERT_NE(window.dock.trayIcon(), nullptr);
        emit window.dock.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_FALSE(window.dock.inTray());
        EXPECT_EQ(window.size(), kFixedSize);
    }
}

// Where the tray host put the icon, in screen coordinates: the small window of this program
// inside the host's panel, as the X server lists it.
std::optional<QPoint> iconCentreOnScreen() {
    QProcess xwininfo;
    xwininfo.start("xwininfo", {"-root", "-tree"});
    if (!xwininfo.waitForFinished(20000)) return std::nullopt;
    const QString app = QCoreApplication::applicationName();
    // 0x200010 "app": ("app" "app")  22x22+0+0  +1001+1
    static const QRegularExpression line(
        QStringLiteral(R"(": \(.*\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(\d+)\+(\d+))"));
    bool inPanel = false;
    for (const QString& text :
         QString::fromLocal8Bit(xwininfo.readAllStandardOutput()).split('\n')) {
        if (text.contains(QLatin1String("\"panel\""))) inPanel = true;
        const auto match = line.match(text);
        if (inPanel && text.contains('"' + app + '"') && match.hasMatch())
            return QPoint(match.captured(3).toInt() + match.captured(1).toInt() / 2,
                          match.captured(4).toInt() + match.captured(2).toInt() / 2);
    }
    return std::nullopt;
}

TEST(TrayDockOnXTest, ARealDoubleClickOnTheIconRestoresAndASingleClickDoesNot) {
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    minimise(window);
    ASSERT_NE(window.dock.trayIcon(), nullptr);
    std::optional<QPoint> centre;
    // The tray host embeds the icon a moment after it is shown.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (centre = iconCentreOnScreen()).has_value(); }, 20000));
    const auto click = [&](int times) {
        QProcess xdotool;
        xdotool.start("xdotool",
                      {"mousemove", QString::number(centre->x()), QString::number(centre->y()),
                       "click", "--repeat", QString::number(times), "--delay", "60", "1"});
        ASSERT_TRUE(xdotool.waitForFinished(20000));
        ASSERT_EQ(xdotool.exitCode(), 0);
    };

    click(1);
    QTest::qWait(QApplication::doubleClickInterval() + 200); // the click stays single
    EXPECT_TRUE(window.dock.inTray());
    EXPECT_FALSE(window.isVisible());

    click(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.dock.inTray(); }, 20000));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.dock.trayIcon(), nullptr);
}

TEST(TrayDockOnXTest, TheMainWindowGoesIntoTheTrayAndComesBackAtItsFixedSize) {
    QTemporaryDir programDir;
    setProgramFolderForTesting(programDir.path());
    {
        frmcovercreator window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QSize fixed = window.size();
        TrayDock& dock = window.shell()->tray();

        window.showMinimized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dock.inTray(); }, 20000));
        EXPECT_FALSE(window.isVisible());
        ASSERT_NE(dock.trayIcon(), nullptr);
        EXPECT_EQ(dock.trayIcon()->toolTip(), "VEXA 6");
        EXPECT_EQ(dock.trayIcon()->icon().cacheKey(), window.windowIcon().cacheKey());

        emit dock.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(window.size(), fixed);
        EXPECT_EQ(dock.trayIcon(), nullptr);
    }
    setProgramFolderForTesting(QString());
}
