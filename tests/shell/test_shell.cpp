// Splash, translucency, mail and web addresses, and docking where the desktop has no tray.
#include "shell/MakerContact.h"
#include "shell/OpenMail.h"
#include "shell/SplashFade.h"
#include "shell/SplashWindow.h"
#include "shell/TrayDock.h"
#include "shell/WindowAlpha.h"
#include "support/FakeXdgOpen.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

double opacityOf(int alpha) {
    return alpha / 255.0;
}

} // namespace

TEST(OpenEmailTest, TheBugReportAddressCarriesTheSubjectUnchanged) {
    EXPECT_EQ(shell::mailtoAddress(shell::kSupportAddress, shell::kBugReportSubject, QString()),
              QStringLiteral("mailto:support@vexa.example?subject=VEXA 6 Bug Report (Version "
                             "6.0.0 Glass Otter Release)"));
}

TEST(OpenEmailTest, AnAddressStartingWithMailtoInAnyCaseIsNotPrefixedAgain) {
    EXPECT_EQ(shell::mailtoAddress("mailto:a@b.example", "", ""), "mailto:a@b.example");
    EXPECT_EQ(shell::mailtoAddress("MailTo:a@b.example", "", ""), "MailTo:a@b.example");
    EXPECT_EQ(shell::mailtoAddress("MAILTO:a@b.example", "Hi", ""),
              "MAILTO:a@b.example?subject=Hi");
    EXPECT_EQ(shell::mailtoAddress("mailt:a@b.example", "", ""), "mailto:mailt:a@b.example");
    EXPECT_EQ(shell::mailtoAddress("a@b", "", ""), "mailto:a@b"); // shorter than the prefix
    EXPECT_EQ(shell::mailtoAddress("", "", ""), "mailto:");
}

TEST(OpenEmailTest, TheBodyJoinsWithAQuestionMarkOrAnAmpersand) {
    EXPECT_EQ(shell::mailtoAddress("a@b.example", "", "Hello there"),
              "mailto:a@b.example?body=Hello there");
    EXPECT_EQ(shell::mailtoAddress("a@b.example", "Bug", "It (sometimes) fails"),
              "mailto:a@b.example?subject=Bug&body=It (sometimes) fails");
}

TEST(OpenEmailTest, ReportABugAndVisitWebsiteHandTheDesktopTheirAddresses) {
    test::FakeXdgOpen desktop;
    shell::startBugReport(nullptr);
    const QUrl mail(desktop.waitForAddresses(1).value(0));
    EXPECT_EQ(mail.scheme(), "mailto");
    EXPECT_EQ(mail.path(), "support@vexa.example");
    const QUrlQuery query(mail);
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), shell::kBugReportSubject);
    EXPECT_FALSE(query.hasQueryItem("body"));
    // Blanks reach the mail program escaped, as a mailto address must carry them.
    EXPECT_FALSE(desktop.addresses().value(0).contains(' '));

    shell::openMakersWebsite(nullptr);
    const QStringList both = desktop.waitForAddresses(2);
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(QUrl(both[1]), QUrl(shell::kWebsiteAddress));
    EXPECT_TRUE(QUrl(both[1]).host().endsWith(".example"));
}

TEST(SetWindowAlphaTest, OnlyTopLevelWindowsTakeAnAlpha) {
    EXPECT_FALSE(shell::setWindowAlpha(nullptr, 100));
    QWidget window;
    QWidget child(&window);
    EXPECT_FALSE(shell::setWindowAlpha(&child, 100));
    for (int alpha : {0, 5, 128, 250, 255}) {
        EXPECT_TRUE(shell::setWindowAlpha(&window, static_cast<std::uint8_t>(alpha)));
        EXPECT_NEAR(window.windowOpacity(), opacityOf(alpha), 0.5 / 255);
    }
}

TEST(SplashFadeTest, FadesInByFivesToOpaqueThenOutToFiveAfterTheHold) {
    shell::SplashFade fade;
    fade.load();
    EXPECT_EQ(fade.alpha(), 5);
    EXPECT_TRUE(fade.fadingIn());
    EXPECT_FALSE(fade.fadeOutTick().has_value()); // nothing before the hold

    for (int step = 1; step <= 50; ++step) EXPECT_EQ(fade.fadeInTick(), 5 + 5 * step);
    EXPECT_EQ(fade.alpha(), 255);
    EXPECT_FALSE(fade.fadingIn());
    EXPECT_FALSE(fade.fadeInTick().has_value());
    EXPECT_FALSE(fade.fadingOut());

    fade.holdElapsed();
    ASSERT_TRUE(fade.fadingOut());
    for (int step = 1; step <= 49; ++step) {
        EXPECT_EQ(fade.fadeOutTick(), 255 - 5 * step);
        EXPECT_FALSE(fade.finished());
    }
    EXPECT_EQ(fade.fadeOutTick(), 5);
    EXPECT_TRUE(fade.finished());
    EXPECT_FALSE(fade.fadeOutTick().has_value());

    fade.holdElapsed(); // the hold keeps firing; nothing starts again
    EXPECT_FALSE(fade.fadingOut());
    EXPECT_EQ(fade.alpha(), 5);
}

TEST(SplashFadeTest, AnEarlyHoldWaitsForTheSplashToBeOpaque) {
    shell::SplashFade fade;
    fade.load();
    for (int step = 0; step < 10; ++step) fade.fadeInTick();
    fade.holdElapsed();
    EXPECT_FALSE(fade.fadingOut());
    EXPECT_FALSE(fade.fadeOutTick().has_value());
    while (fade.fadingIn()) fade.fadeInTick();
    EXPECT_EQ(fade.alpha(), 255);
    EXPECT_TRUE(fade.fadingOut());
    EXPECT_EQ(fade.fadeOutTick(), 250);
}

TEST(SplashWindowTest, TheMainWindowComesOnlyAfterTheFadeOut) {
    int mainWindows = 0;
    bool splashVisibleThen = true;
    QPointer<shell::SplashWindow> splash;
    splash = new shell::SplashWindow([&] {
        ++mainWindows;
        splashVisibleThen = splash && splash->isVisible();
    });
    splash->start();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_NEAR(splash->windowOpacity(), opacityOf(5), 0.5 / 255);
    EXPECT_TRUE(splash->fadeInTimer()->isActive());
    EXPECT_TRUE(splash->holdTimer()->isActive());
    EXPECT_FALSE(splash->fadeOutTimer()->isActive());

    for (int step = 0; step < 50; ++step) splash->fadeInStep();
    EXPECT_NEAR(splash->windowOpacity(), 1.0, 0.5 / 255);
    EXPECT_FALSE(splash->fadeInTimer()->isActive());

    splash->holdTimeUp();
    EXPECT_TRUE(splash->fadeOutTimer()->isActive());
    EXPECT_NEAR(splash->windowOpacity(), 1.0, 0.5 / 255); // fully opaque as the fade-out starts
    for (int step = 0; step < 49; ++step) splash->fadeOutStep();
    EXPECT_EQ(mainWindows, 0);
    EXPECT_NEAR(splash->windowOpacity(), opacityOf(10), 0.5 / 255);

    splash->fadeOutStep();
    EXPECT_EQ(mainWindows, 1);
    EXPECT_FALSE(splashVisibleThen); // closed first, then the main window
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

TEST(SplashWindowTest, AClickOrEscapeSkipsTheSplashAndNothingElseDoes) {
    for (const char* skip : {"escape", "click"}) {
        SCOPED_TRACE(skip);
        int mainWindows = 0;
        QPointer<shell::SplashWindow> splash = new shell::SplashWindow([&] { ++mainWindows; });
        splash->start();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_F4})
            QTest::keyClick(splash, key);
        QTest::keyClick(splash, Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(splash, Qt::Key_Escape, Qt::ShiftModifier);
        QTest::mouseClick(splash, Qt::RightButton);
        EXPECT_FALSE(splash->close());
        EXPECT_TRUE(splash->isVisible());
        EXPECT_EQ(mainWindows, 0);
        // Still on its way in: the fade's 5 ms timer may have run a step or two meanwhile on a
        // busy machine, but no key jumped to the end.
        EXPECT_TRUE(splash->fade().fadingIn());
        EXPECT_LT(splash->fade().alpha(), 255);

        if (QLatin1String(skip) == QLatin1String("escape"))
            QTest::keyClick(splash, Qt::Key_Escape);
        else
            QTest::mouseClick(splash, Qt::LeftButton);
        EXPECT_EQ(mainWindows, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(splash.isNull());
    }
}

TEST(TrayDockTest, WithoutANotificationAreaMinimisingKeepsTheWindowOnTheTaskBar) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen platform has none
    QWidget window;
    window.setFixedSize(300, 200);
    shell::TrayDock dock(&window);
    window.show();
    window.showMinimized();
    dock.windowMinimised();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(dock.inTray());
    EXPECT_EQ(dock.trayIcon(), nullptr);
}
