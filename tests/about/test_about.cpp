// The About window and its scrolling credits.
#include "about/AboutWindow.h"
#include "about/CreditsScroll.h"
#include "about/CreditsScroller.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexa;

TEST(CreditsScrollTest, TheTextEntersAtTheBottomMovesUpAndComesBackAfterLeaving) {
    about::CreditsScroll scroll(100, 40);
    EXPECT_EQ(scroll.textTop(), 100);
    scroll.tick();
    EXPECT_EQ(scroll.textTop(), 99);
    for (int i = 1; i < 140; ++i) scroll.tick();
    EXPECT_EQ(scroll.textTop(), -40); // just left at the top
    scroll.tick();
    EXPECT_EQ(scroll.textTop(), 100); // back at the bottom
}

TEST(CreditsScrollTest, AResizedViewKeepsTheTextMovingFromItsNewBottom) {
    about::CreditsScroll scroll(0, 10);
    scroll.setViewHeight(50);
    scroll.tick();
    EXPECT_EQ(scroll.textTop(), 49);
    scroll.setViewHeight(-5); // nonsense sizes count as empty
    EXPECT_EQ(scroll.textTop(), -1);
}

TEST(AboutWindowTest, ShowsNameAndReleaseAndIsNotModal) {
    QWidget owner;
    owner.show();
    QPointer<about::AboutWindow> about = about::AboutWindow::open(&owner);
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->parentWidget(), &owner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(about->findChild<QLabel*>("programName")->text(), "VEXA 6");
    EXPECT_EQ(about->findChild<QLabel*>("programVersion")->text(),
              "Version 6.0.0 Glass Otter Release");
    EXPECT_TRUE(owner.isEnabled());
    about->close();
}

TEST(AboutWindowTest, ShowsTheInstalledProgramIconWhateverItsOwner) {
    const QImage installed = test::installedIconPixels(48);
    ASSERT_FALSE(installed.isNull());
    QWidget owner; // with no icon of its own
    QPointer<about::AboutWindow> about = about::AboutWindow::open(&owner);
    const QLabel* icon = about->findChild<QLabel*>("programIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              installed);
    about->close();
}

TEST(AboutWindowTest, TheCreditsScrollWhileOpenAndStopWhenTheWindowCloses) {
    QWidget owner;
    QPointer<about::AboutWindow> about = about::AboutWindow::open(&owner);
    about::CreditsScroller* credits = about->credits();
    EXPECT_TRUE(credits->isRunning());
    const int start = credits->textTop();
    EXPECT_EQ(start, credits->height()); // entering at the bottom
    credits->tick();
    credits->tick();
    EXPECT_EQ(credits->textTop(), start - 2);
    EXPECT_GT(credits->textHeight(), 0);

    QPointer<about::CreditsScroller> watched = credits;
    QTest::mouseClick(about->cmdOK(), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(credits->isRunning());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull()); // unloaded with its animation
    EXPECT_TRUE(watched.isNull());
}
