// The program's windows on a real desktop: Xvfb with openbox, xcompmgr and trayer. What is
// checked is read back from the X server (properties, frames), not from Qt's own bookkeeping.
#include "about/AboutWindow.h"
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "notify/MessageNoticeWindow.h"
#include "shell/HelpLauncher.h"
#include "shell/ShellCommands.h"
#include "shell/SplashWindow.h"
#include "shell/TrayDock.h"
#include "support/MainWindowParts.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"
#include "support/XServerWithTray.h"
#include "support/XWindowProbe.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace vexa;
using vexa::test::XWindowProbe;

namespace {

constexpr int kWait = 20000;

// The frame once the window manager has put one around the window and stopped moving it.
std::optional<QRect> settledFrame(const XWindowProbe& x, const QWidget& window) {
    std::optional<QRect> last;
    int same = 0;
    (void)QTest::qWaitFor(
        [&] {
            const auto now = x.frame(window.winId());
            same = (now && now == last) ? same + 1 : 0;
            last = now;
            return same >= 5;
        },
        kWait);
    return last;
}

template <typename Window> QList<Window*> shownWindows() {
    QList<Window*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            found.append(window);
    return found;
}

// The main window in a program folder of its own, shown with its frame at `where`.
class MainWindowOnDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.connected());
        ASSERT_TRUE(programDir.isValid());
        base::setProgramFolderForTesting(programDir.path());
        window = std::make_unique<app::MainWindow>();
        vexa::test::shellCommands(*window)->setHelpFile();
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        base::setProgramFolderForTesting(QString());
    }
    // Shows the main window with its frame's top-left corner at `where`: moved once the
    // window manager has framed it and Qt knows that frame, so the frame lands where asked.
    QRect showAt(const QPoint& where) {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return window->frameGeometry().top() < window->geometry().top(); }, kWait));
        window->move(where);
        std::optional<QRect> frame;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                frame = settledFrame(x, *window);
                return frame && frame->topLeft() == where;
            },
            kWait));
        return frame.value_or(QRect());
    }

    XWindowProbe x;
    QTemporaryDir programDir;
    std::unique_ptr<app::MainWindow> window;
};

} // namespace

TEST(SplashOnDesktop, EveryFadeStepReachesTheXServerWhenItIsSet) {
    bool mainWindowShown = false;
    QPointer<shell::SplashWindow> splash = new shell::SplashWindow([&] { mainWindowShown = true; });
    test::OpacitySampler sampler(splash->winId()); // the window exists before the first step
    splash->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return mainWindowShown; }, kWait));
    const QList<int> seen = sampler.stop();
    std::string trace = "alphas read from the server:";
    for (int alpha : seen) trace += ' ' + std::to_string(alpha);
    SCOPED_TRACE(trace);

    // Up: the steps below 255, until the server has the splash opaque (Qt may also drop the
    // property at 1.0, which means opaque too).
    QList<int> up;
    qsizetype i = 0;
    while (i < seen.size() && seen[i] == -1) ++i; // before the first step
    for (; i < seen.size() && seen[i] != 255 && seen[i] != -1; ++i) up.append(seen[i]);
    ASSERT_LT(i, seen.size()) << "never opaque";
    ++i;
    QList<int> down;
    for (; i < seen.size() && seen[i] != -1; ++i) down.append(seen[i]);

    EXPECT_GE(up.size(), 10) << "fade-in steps that reached the server";
    EXPECT_TRUE(std::is_sorted(up.begin(), up.end()));
    EXPECT_TRUE(up.isEmpty() || up.front() <= 10);
    EXPECT_GE(down.size(), 10) << "fade-out steps that reached the server";
    EXPECT_TRUE(std::is_sorted(down.rbegin(), down.rend()));
    EXPECT_TRUE(down.isEmpty() || down.back() <= 10);
    for (int alpha : up + down) EXPECT_LT(alpha, 255);
}

// The title as the window manager reads it (xprop), with Qt's modified mark while the set has
// unsaved changes; the window manager's close button asks first, and Cancel keeps the window.
TEST_F(MainWindowOnDesktop, TheTitleMarksUnsavedChangesAndClosingAsksFirst) {
    showAt({100, 100});
    const auto title = [this] {
        QProcess xprop;
        xprop.start("xprop", {"-id", QString::number(window->winId()), "_NET_WM_NAME"});
        if (!xprop.waitForFinished(kWait)) return QString();
        return QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    };
    const QString plain = R"(_NET_WM_NAME(UTF8_STRING) = "VEXA 6")";
    EXPECT_TRUE(QTest::qWaitFor([&] { return title() == plain; }, kWait)) << title().toStdString();

    QTemporaryDir pictures;
    const QString red = pictures.filePath("red.png");
    ASSERT_TRUE(test::solidImage(30, 20, qRgb(255, 0, 0)).save(red));
    window->openFiles({red});
    const QString marked = R"(_NET_WM_NAME(UTF8_STRING) = "VEXA 6*")";
    EXPECT_TRUE(QTest::qWaitFor([&] { return title() == marked; }, kWait)) << title().toStdString();

    for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Discard}) {
        QString asked;
        test::whenModal<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(answer)->click();
        });
        x.askToClose(window->winId());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }, kWait));
        EXPECT_EQ(asked, "Save the changes to the covers?");
        if (answer == QMessageBox::Cancel) {
            // Answered: the question is gone and the window stays.
            ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, kWait));
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(title(), marked);
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, kWait));
}

TEST_F(MainWindowOnDesktop, TheTemporaryPrinterOpensCentredOverTheMainWindow) {
    const QRect main = showAt({300, 200});
    vexa::test::action(*window, "selectPrinterAction")->trigger();
    const auto choosers = window->findChildren<QWidget*>("printerChooser");
    ASSERT_EQ(choosers.size(), 1);
    QWidget* chooser = choosers.front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chooser));
    const auto frame = settledFrame(x, *chooser);
    ASSERT_TRUE(frame);
    // Within a few pixels: before the chooser is shown its frame can only be estimated from the
    // main window's, and a resizable window gets a bottom handle that the fixed main window has
    // not.
    EXPECT_LE(std::abs(frame->center().x() - main.center().x()), 3);
    EXPECT_LE(std::abs(frame->center().y() - main.center().y()), 3)
        << "chooser " << frame->x() << "," << frame->y() << " " << frame->width() << "x"
        << frame->height() << " main " << main.x() << "," << main.y() << " " << main.width() << "x"
        << main.height() << " qt " << chooser->frameGeometry().x() << ","
        << chooser->frameGeometry().y() << " " << chooser->frameGeometry().width() << "x"
        << chooser->frameGeometry().height();
    EXPECT_EQ(x.transientFor(chooser->winId()), window->winId());
}

TEST_F(MainWindowOnDesktop, TheHelpOpensCentredOverTheMainWindowOrBesideIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred on the screen there is room around the main window for the larger help window;
    // in the top-left corner there is not, but there is room to its right.
    for (const bool corner : {false, true}) {
        SCOPED_TRACE(corner ? "main window in the corner" : "main window in the middle");
        window.reset();
        window = std::make_unique<app::MainWindow>();
        // The main window as small as it once was, so that the help window fits beside it.
        const QSize size(821, 512);
        window->resize(size);
        vexa::test::shellCommands(*window)->setHelpFile();
        const QRect main =
            showAt(corner ? screen.topLeft()
                          : screen.center() - QPoint(size.width() / 2, size.height() / 2));
        vexa::test::toolbarAction(*window, 4)->trigger();
        shell::HelpWindow* help = vexa::test::shellCommands(*window)->help().window();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
        const auto frame = settledFrame(x, *help);
        ASSERT_TRUE(frame);
        EXPECT_TRUE(screen.contains(*frame));
        EXPECT_EQ(x.transientFor(help->winId()), window->winId());
        if (corner) {
            EXPECT_LE(std::abs(frame->left() - (main.right() + 1)), 2) << frame->left();
            EXPECT_LE(std::abs(frame->top() - main.top()), 2) << frame->top();
        } else {
            EXPECT_LE(std::abs(frame->center().x() - main.center().x()), 3);
            EXPECT_LE(std::abs(frame->center().y() - main.center().y()), 3);
        }
        vexa::test::shellCommands(*window)->closeHelp();
    }
}

TEST_F(MainWindowOnDesktop, ASecondAboutBringsTheOpenOneToTheFront) {
    showAt({200, 150});
    vexa::test::toolbarAction(*window, 5)->trigger();
    ASSERT_EQ(shownWindows<about::AboutWindow>().size(), 1);
    about::AboutWindow* about = shownWindows<about::AboutWindow>().front();
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    vexa::test::action(*window, "aboutAction")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == about; }, kWait));
    EXPECT_EQ(shownWindows<about::AboutWindow>().size(), 1);
}

TEST_F(MainWindowOnDesktop, BackFromTheTrayWhereItWas) {
    // Placed by the window manager, then moved and minimised by the user through it.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(settledFrame(x, *window));
    QProcess::execute("xdotool", {"windowmove", QString::number(window->winId()), "437", "311"});
    const auto before = settledFrame(x, *window);
    ASSERT_TRUE(before);
    shell::TrayDock& dock = vexa::test::shellCommands(*window)->tray();
    QProcess::execute("xdotool", {"windowminimize", QString::number(window->winId())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dock.inTray(); }, kWait));
    emit dock.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const auto after = settledFrame(x, *window);
    EXPECT_EQ(after->topLeft(), before->topLeft())
        << before->x() << "," << before->y() << " -> " << after->x() << "," << after->y();
    EXPECT_EQ(after->size(), before->size());
}

TEST_F(MainWindowOnDesktop, ANoticeStaysOnTheScreenAndHoldsTheMainWindowOpen) {
    showAt({200, 150});
    QPointer<notify::MessageNoticeWindow> popup = notify::MessageNoticeWindow::open(
        *window, QStringLiteral("Select a cover first."), QStringLiteral("picture"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !popup->slideInTimer()->isActive(); }, kWait));
    const auto frame = settledFrame(x, *popup);
    ASSERT_TRUE(frame);
    // No panel at the bottom of this desktop: the popup ends at the screen's lower edge.
    EXPECT_EQ(frame->bottom(), test::XServerWithTray::kDesktopHeight - 1);

    // The window manager's close button (and Alt+F4) ask the main window to close.
    x.askToClose(window->winId());
    QTest::qWait(300);
    EXPECT_TRUE(window->isVisible());

    popup->button(notify::PopupButton::Ok)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.isNull(); }, kWait));
    x.askToClose(window->winId());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, kWait));
}

TEST_F(MainWindowOnDesktop, TripsThroughTheTrayKeepTheMainWindowAndWhatIsTransientForIt) {
    showAt({300, 200});
    vexa::test::action(*window, "selectPrinterAction")->trigger();
    const auto choosers = window->findChildren<QWidget*>("printerChooser");
    ASSERT_EQ(choosers.size(), 1);
    QWidget* chooser = choosers.front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chooser));
    const WId main = window->windowHandle()->winId();
    ASSERT_EQ(x.transientFor(chooser->winId()), main);

    shell::TrayDock& dock = vexa::test::shellCommands(*window)->tray();
    for (int trip = 1; trip <= 2; ++trip) {
        SCOPED_TRACE(trip);
        QProcess::execute("xdotool", {"windowminimize", QString::number(window->winId())});
        ASSERT_TRUE(QTest::qWaitFor([&] { return dock.inTray(); }, kWait));
        emit dock.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // The same X window (as the native window says: the widget keeps the first id even
        // when the native window is made anew), so the chooser, still open, stays transient
        // for it.
        ASSERT_EQ(window->windowHandle()->winId(), main);
        ASSERT_TRUE(settledFrame(x, *window));
        EXPECT_EQ(x.transientFor(chooser->winId()), main);
    }
}
