// Docking into a real notification area: Xvfb with trayer as the tray host.
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "shell/ShellCommands.h"
#include "shell/TrayDock.h"
#include "support/DockingWindow.h"
#include "support/MainWindowParts.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

using namespace vexa;

namespace {

using test::DockingWindow;
using test::kFixedSize;
using test::minimise;

// Notes that the watched window was asked to close.
class CloseCounter : public QObject {
public:
    CloseCounter(QObject* parent, bool* asked) : QObject(parent), m_asked(asked) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) *m_asked = true;
        return false;
    }

private:
    bool* m_asked;
};

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
}

TEST(TrayDockOnXTest, TheIconsMenuRestoresOrExits) {
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    minimise(window);
    QMenu* menu = window.dock.trayIcon()->contextMenu();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text();
    EXPECT_EQ(items, QStringList({"&Restore", "E&xit"}));

    menu->actions().at(0)->trigger();
    EXPECT_FALSE(window.dock.inTray());
    EXPECT_TRUE(window.isVisible());

    minimise(window);
    bool closeAsked = false;
    window.installEventFilter(new CloseCounter(&window, &closeAsked));
    window.dock.trayIcon()->contextMenu()->actions().at(1)->trigger();
    EXPECT_TRUE(closeAsked);
    EXPECT_FALSE(window.dock.inTray());
    EXPECT_EQ(window.dock.trayIcon(), nullptr);
}

TEST(TrayDockOnXTest, OneActivationOfTheIconBringsTheWindowBackOtherButtonsDoNot) {
    // Trigger is what a click reports (always, on a StatusNotifierItem host); DoubleClick is
    // what an X notification area adds for a second click.
    for (auto restoring : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
        SCOPED_TRACE(restoring);
        DockingWindow window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        minimise(window);
        QSystemTrayIcon* icon = window.dock.trayIcon();
        ASSERT_NE(icon, nullptr);

        for (auto reason :
             {QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
            emit icon->activated(reason);
            QCoreApplication::processEvents();
            EXPECT_FALSE(window.isVisible());
            EXPECT_TRUE(window.dock.inTray());
            EXPECT_EQ(window.dock.trayIcon(), icon);
        }

        emit icon->activated(restoring);
        EXPECT_FALSE(window.dock.inTray());
        EXPECT_EQ(window.dock.trayIcon(), nullptr);
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isMinimized());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.size(), kFixedSize);
        EXPECT_FALSE(staysOnTop(window)); // on top only for a moment
    }
}

TEST(TrayDockOnXTest, ASecondMinimiseDocksAgain) {
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int round = 0; round < 2; ++round) {
        minimise(window);
        EXPECT_FALSE(window.isVisible());
        ASSERT_NE(window.dock.trayIcon(), nullptr);
        emit window.dock.trayIcon()->activated(QSystemTrayIcon::Trigger);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_FALSE(window.dock.inTray());
        EXPECT_EQ(window.size(), kFixedSize);
    }
}

// The window of this program's icon inside the tray host's panel, and where it lies on the
// screen, as the X server lists it.
struct IconWindow {
    QString id;
    QRect onScreen;
};

std::optional<IconWindow> iconWindow() {
    QProcess xwininfo;
    xwininfo.start("xwininfo", {"-root", "-tree"});
    if (!xwininfo.waitForFinished(20000)) return std::nullopt;
    const QString app = QCoreApplication::applicationName();
    // 0x200010 "app": ("app" "app")  22x22+0+0  +1001+1
    static const QRegularExpression line(QStringLiteral(
        R"((0x[0-9a-f]+) .*": \(.*\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+))"));
    bool inPanel = false;
    for (const QString& text :
         QString::fromLocal8Bit(xwininfo.readAllStandardOutput()).split('\n')) {
        if (text.contains(QLatin1String("\"panel\""))) inPanel = true;
        const auto match = line.match(text);
        if (inPanel && text.contains('"' + app + '"') && match.hasMatch())
            return IconWindow{match.captured(1),
                              QRect(match.captured(4).toInt(), match.captured(5).toInt(),
                                    match.captured(2).toInt(), match.captured(3).toInt())};
    }
    return std::nullopt;
}

// The tray host embeds the icon, then grows its panel and moves it to keep it at the screen's
// edge: two steps that a busy machine can take far apart. The icon has its place when it lies
// on the screen and stays there.
std::optional<IconWindow> settledIconWindow() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    std::optional<IconWindow> last;
    int same = 0;
    (void)QTest::qWaitFor(
        [&] {
            const auto now = iconWindow();
            const bool placed = now && screen.contains(now->onScreen);
            same = (placed && last && now->id == last->id && now->onScreen == last->onScreen)
                       ? same + 1
                       : 0;
            last = now;
            return same >= 3;
        },
        20000);
    return same >= 3 ? last : std::nullopt;
}

TEST(TrayDockOnXTest, ARealClickOnTheIconRestoresTheWindow) {
    DockingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    minimise(window);
    QSystemTrayIcon* icon = window.dock.trayIcon();
    ASSERT_NE(icon, nullptr);
    QList<QSystemTrayIcon::ActivationReason> reasons;
    QObject::connect(icon, &QSystemTrayIcon::activated,
                     [&](QSystemTrayIcon::ActivationReason reason) { reasons.append(reason); });
    const std::optional<IconWindow> target = settledIconWindow();
    ASSERT_TRUE(target) << "the tray host did not settle the icon";

    // The pointer goes to the icon window wherever it stands at that moment.
    QProcess xdotool;
    xdotool.start("xdotool", {"mousemove", "--window", target->id,
                              QString::number(target->onScreen.width() / 2),
                              QString::number(target->onScreen.height() / 2), "click", "1"});
    ASSERT_TRUE(xdotool.waitForFinished(20000));
    ASSERT_EQ(xdotool.exitCode(), 0);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.dock.inTray(); }, 20000));
    EXPECT_EQ(reasons, QList<QSystemTrayIcon::ActivationReason>{QSystemTrayIcon::Trigger});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.dock.trayIcon(), nullptr);
}

TEST(TrayDockOnXTest, TheMainWindowGoesIntoTheTrayAndComesBackAtItsFixedSize) {
    QTemporaryDir programDir;
    base::setProgramFolderForTesting(programDir.path());
    {
        app::MainWindow window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QSize fixed = window.size();
        shell::TrayDock& dock = vexa::test::shellCommands(window)->tray();

        window.showMinimized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dock.inTray(); }, 20000));
        EXPECT_FALSE(window.isVisible());
        ASSERT_NE(dock.trayIcon(), nullptr);
        EXPECT_EQ(dock.trayIcon()->toolTip(), "VEXA 6");
        EXPECT_EQ(dock.trayIcon()->icon().cacheKey(), window.windowIcon().cacheKey());
        EXPECT_EQ(test::differenceFromInstalledIcon(dock.trayIcon()->icon()).toStdString(), "");

        emit dock.trayIcon()->activated(QSystemTrayIcon::Trigger);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(window.size(), fixed);
        EXPECT_EQ(dock.trayIcon(), nullptr);
    }
    base::setProgramFolderForTesting(QString());
}
