// The notices on a real Wayland compositor (run by run-on-weston.sh: a headless weston, no X
// display): each one seen whole on the screen, over the main window, and answered by the keys
// the main window receives, since a popup never gets the keyboard there.
#include "core/base/ProgramFolder.h"
#include "notify/MessageNoticeWindow.h"
#include "notify/PopupGeometry.h"
#include "notify/UpdateNoticeWindow.h"
#include "support/FakeCoverHost.h"
#include "support/FakeXdgOpen.h"
#include "support/NoticeKeys.h"
#include "support/WestonScreen.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

using namespace vexa;
using notify::PopupButton;

namespace {

// The main window stand-in is filled with a colour nothing else on weston's screen has, so
// that its client area can be found in a screenshot.
constexpr QRgb kHostColour = qRgb(255, 0, 255);
const QUrl kInstaller(QStringLiteral("http://www.vexa.example/vexa/VEXA-Setup.exe"));

notify::NoticeWindow* openNotice(test::FakeCoverHost& host, const char* kind) {
    if (QByteArray(kind) == "update")
        return notify::UpdateNoticeWindow::open(
            host, QStringLiteral("A new version of VEXA is available!"), QStringLiteral("update"),
            kInstaller);
    return notify::MessageNoticeWindow::open(
        host, QStringLiteral("Please select a cover by clicking on it and try again!"),
        QString::fromLatin1(kind));
}

// The notice fully risen, as it looks: what the screen must show somewhere, pixel for pixel.
QImage risenNotice(notify::NoticeWindow& notice) {
    EXPECT_TRUE(QTest::qWaitFor([&notice] { return !notice.slideInTimer()->isActive(); }, 30000));
    return notice.grab().toImage();
}

std::optional<QRect> findOnScreen(const QImage& screen, const QImage& notice) {
    const std::optional<QPoint> at = test::findPicture(screen, notice);
    if (!at) return std::nullopt;
    return QRect(*at, notice.size());
}

// Sends a key as the compositor would: to the main window, which keeps the keyboard focus.
void typeIntoMainWindow(test::FakeCoverHost& host, Qt::Key key) {
    QTest::keyClick(host.window().windowHandle(), key);
}

bool gone(const QPointer<notify::NoticeWindow>& notice) {
    return QTest::qWaitFor(
        [&notice] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return notice.isNull();
        },
        5000);
}

class NoticesOnWayland : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QGuiApplication::platformName().startsWith("wayland"))
            << "runs on Wayland only (run-on-weston.sh), not on "
            << QGuiApplication::platformName().toStdString();
        notify::resetOpenPopupCountForTesting();
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path()); // no chime
        QWidget& window = host.window();
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(kHostColour));
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        window.resize(821, 512); // the main window's fixed size
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<notify::NoticeWindow*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        base::setProgramFolderForTesting(QString());
        notify::resetOpenPopupCountForTesting();
    }

    QTemporaryDir folder;
    test::FakeCoverHost host;
};

} // namespace

TEST_F(NoticesOnWayland, EachNoticeRisesWholeFromTheMainWindowsBottomEdge) {
    for (const char* kind : {"picture", "update"}) {
        SCOPED_TRACE(kind);
        QPointer<notify::NoticeWindow> notice = openNotice(host, kind);
        ASSERT_TRUE(notice->anchoredToHost());
        EXPECT_FALSE(host.window().isEnabled());
        const QImage look = risenNotice(*notice);

        std::optional<QRect> seen;
        const QImage screen = test::screenshotWhen(
            [&](const QImage& shot) { return (seen = findOnScreen(shot, look)).has_value(); });
        ASSERT_FALSE(screen.isNull());
        ASSERT_TRUE(seen) << "the notice is not on the screen whole";
        EXPECT_TRUE(screen.rect().contains(*seen));
        // The main window's client area: the notice stands in it, centred across it, on its
        // bottom edge (the main window's colour shows on both sides of the notice).
        const QRect mainWindow = test::boundsOfColour(screen, kHostColour);
        ASSERT_EQ(mainWindow.size(), QSize(821, 512));
        EXPECT_TRUE(mainWindow.contains(*seen));
        EXPECT_EQ(seen->bottom(), mainWindow.bottom());
        EXPECT_LE(
            std::abs((seen->left() - mainWindow.left()) - (mainWindow.right() - seen->right())), 1);

        typeIntoMainWindow(host, Qt::Key_Escape);
        EXPECT_TRUE(gone(notice));
        EXPECT_TRUE(host.window().isEnabled());
    }
}

TEST_F(NoticesOnWayland, EnterAndEscapeTypedIntoTheMainWindowAnswerTheNotice) {
    for (const test::NoticeKey& c : test::kNoticeKeys) {
        SCOPED_TRACE(std::string(c.kind) + " " + QKeySequence(c.key).toString().toStdString());
        test::FakeXdgOpen browser;
        QPointer<notify::NoticeWindow> notice = openNotice(host, c.kind);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(notice));
        std::optional<PopupButton> clicked;
        for (PopupButton b : {PopupButton::Ok, PopupButton::Download, PopupButton::Cancel})
            if (QPushButton* button = notice->button(b))
                QObject::connect(button, &QPushButton::clicked, [&clicked, b] { clicked = b; });
        // Other keys leave it up.
        typeIntoMainWindow(host, Qt::Key_Space);
        EXPECT_FALSE(clicked);

        typeIntoMainWindow(host, c.key);
        EXPECT_EQ(clicked, c.pressed);
        EXPECT_TRUE(gone(notice));
        EXPECT_TRUE(host.window().isEnabled());
        if (c.pressed == PopupButton::Download) {
            EXPECT_EQ(browser.waitForAddresses(1), QStringList{kInstaller.toString()});
        }
    }
}

TEST_F(NoticesOnWayland, AClickOnItsButtonAnswersIt) {
    // The pointer's way in, as the compositor hands it over: to the popup's own surface.
    QPointer<notify::NoticeWindow> notice = openNotice(host, "picture");
    risenNotice(*notice);
    const QPushButton* ok = notice->button(PopupButton::Ok);
    bool clicked = false;
    QObject::connect(ok, &QPushButton::clicked, [&clicked] { clicked = true; });
    QTest::mouseClick(notice->windowHandle(), Qt::LeftButton, {},
                      ok->mapTo(notice.data(), ok->rect().center()));
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(gone(notice));
    EXPECT_TRUE(host.window().isEnabled());
}

TEST_F(NoticesOnWayland, ANoticeHiddenWithTheMainWindowComesBackWithIt) {
    // As when the main window goes to the notification area and is restored: the compositor
    // drops a popup whose owner unmaps.
    QPointer<notify::NoticeWindow> notice = openNotice(host, "picture");
    const QImage look = risenNotice(*notice);
    const auto shown = [&look](const QImage& shot) { return findOnScreen(shot, look).has_value(); };
    ASSERT_TRUE(shown(test::screenshotWhen(shown)));

    host.window().hide();
    EXPECT_FALSE(shown(test::screenshotWhen([&](const QImage& shot) { return !shown(shot); })));
    host.window().show();
    EXPECT_TRUE(shown(test::screenshotWhen(shown)));

    typeIntoMainWindow(host, Qt::Key_Return);
    EXPECT_TRUE(gone(notice));
    EXPECT_TRUE(host.window().isEnabled());
}

TEST_F(NoticesOnWayland, StackedNoticesStandOneAboveTheOtherAndTheUpperAnswersFirst) {
    QPointer<notify::NoticeWindow> lower = openNotice(host, "picture");
    QPointer<notify::NoticeWindow> upper = openNotice(host, "picture");
    upper->messageLabel()->setText(QStringLiteral("the second")); // to tell them apart
    const QImage lowerLook = risenNotice(*lower);
    const QImage upperLook = risenNotice(*upper);
    std::optional<QRect> lowerSeen;
    std::optional<QRect> upperSeen;
    test::screenshotWhen([&](const QImage& shot) {
        lowerSeen = findOnScreen(shot, lowerLook);
        upperSeen = findOnScreen(shot, upperLook);
        return lowerSeen && upperSeen;
    });
    ASSERT_TRUE(lowerSeen && upperSeen);
    EXPECT_EQ(upperSeen->bottom() + 1, lowerSeen->top());
    EXPECT_EQ(upperSeen->left(), lowerSeen->left());

    typeIntoMainWindow(host, Qt::Key_Return);
    EXPECT_TRUE(gone(upper));
    EXPECT_TRUE(lower);
    typeIntoMainWindow(host, Qt::Key_Return);
    EXPECT_TRUE(gone(lower));
    EXPECT_TRUE(host.window().isEnabled());
}
