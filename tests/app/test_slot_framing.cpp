// A cover slot's fit and crop as the user sets them (context menu, arrow keys) and its print
// resolution line, against arithmetic on the picture's pixels and the DVD cover's
// 10.6875 x 7.125 in.
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "support/MainWindowParts.h"
#include "support/TestSupport.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexa;
using cover::CoverFit;
using cover::CoverKind;

namespace {

class SlotFramingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(programDir.isValid());
        base::setProgramFolderForTesting(programDir.path());
        window = std::make_unique<app::MainWindow>();
        window->start();
        test::coverTabs(*window)->setCurrentIndex(3); // DVD
        slot = test::slotHolder(*window, 4);
        ASSERT_NE(slot, nullptr);
    }
    void TearDown() override {
        window.reset();
        base::setProgramFolderForTesting(QString());
    }
    QLabel* label(const char* name) { return window->findChild<QLabel*>(QLatin1String(name)); }
    cover::CoverSet& covers() { return window->covers(); }

    QTemporaryDir programDir;
    std::unique_ptr<app::MainWindow> window;
    widgets::PictureHolder* slot = nullptr;
};

TEST_F(SlotFramingTest, TheMenuSetsTheFitAndTheLineSaysTheResolutionAfterIt) {
    QLabel* resolution = label("dvdSlotResolution");
    QLabel* soft = label("dvdSlotSoft");
    ASSERT_TRUE(resolution && soft);
    EXPECT_TRUE(resolution->text().isEmpty()); // no picture yet
    EXPECT_TRUE(soft->isHidden());

    covers().setPicture(CoverKind::Dvd,
                        picture::LoadedPicture::made(test::solidImage(600, 600, qRgb(9, 99, 9))));
    // Stretched: 600 / 10.6875 = 56.1 across is the weaker axis.
    EXPECT_EQ(resolution->text(), QStringLiteral("DVD: 600 x 600 px, 56 dpi"));
    EXPECT_EQ(soft->text(), QStringLiteral("will print soft: 56 dpi"));
    EXPECT_FALSE(soft->isHidden());

    // The menu opens from the keyboard too, with today's fit checked.
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(20, 20),
                              slot->mapToGlobal(QPoint(20, 20)));
    QCoreApplication::sendEvent(slot, &request);
    QMenu* menu = slot->findChild<QMenu*>(QStringLiteral("slotFitMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QStringList entries;
    for (QAction* action : menu->actions())
        entries << action->text() + (action->isChecked() ? "*" : "");
    EXPECT_EQ(entries, QStringList({"&Stretch*", "F&ill", "&Fit"}));
    menu->hide();

    menu->findChild<QAction*>(QStringLiteral("fitFit"))->trigger();
    EXPECT_EQ(covers().framing(CoverKind::Dvd).fit, CoverFit::Fit);
    EXPECT_EQ(slot->framing().fit, CoverFit::Fit);
    // Fitted: the 600 rows span the 7.125 in, 84.2 dpi both ways.
    EXPECT_EQ(resolution->text(), QStringLiteral("DVD: 600 x 600 px, 84 dpi"));
    EXPECT_EQ(soft->text(), QStringLiteral("will print soft: 84 dpi"));

    // Enough pixels: no mark.
    covers().setPicture(CoverKind::Dvd,
                        picture::LoadedPicture::made(test::solidImage(1800, 1200, qRgb(9, 9, 9))));
    EXPECT_EQ(resolution->text(), QStringLiteral("DVD: 1800 x 1200 px, 168 dpi"));
    EXPECT_TRUE(soft->isHidden());
    EXPECT_EQ(covers().framing(CoverKind::Dvd).fit, CoverFit::Fit); // the fit stays
}

TEST_F(SlotFramingTest, TheArrowKeysMoveAFillCropWhileTheSlotHasTheFocus) {
    covers().setPicture(CoverKind::Dvd,
                        picture::LoadedPicture::made(test::solidImage(600, 600, qRgb(9, 99, 9))));
    slot->findChild<QAction*>(QStringLiteral("fitFill"))->trigger();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    slot->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(slot->hasFocus());
    // A square on a 1.5 : 1 cover overflows by half the cover's height: each press moves the
    // picture a twentieth of that height, a tenth of the overflow.
    QTest::keyClick(slot, Qt::Key_Down);
    EXPECT_NEAR(covers().framing(CoverKind::Dvd).crop.y(), 0.4, 0.02);
    QTest::keyClick(slot, Qt::Key_Left); // nothing overflows across
    EXPECT_EQ(covers().framing(CoverKind::Dvd).crop.x(), 0.5);
    // What a print run reads is what the slot shows.
    EXPECT_EQ(covers().records().framing(CoverKind::Dvd), slot->framing());
    // A new picture starts centred, still filled.
    covers().setPicture(CoverKind::Dvd,
                        picture::LoadedPicture::made(test::solidImage(600, 600, qRgb(9, 9, 99))));
    EXPECT_EQ(slot->framing(), (cover::Framing{CoverFit::Fill, {0.5, 0.5}}));
}

} // namespace
