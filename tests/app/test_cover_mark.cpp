// The selected cover is marked: a highlight frame around its picture and a dot on its tab.
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "support/MainWindowParts.h"
#include "support/SlotAccess.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexa;

TEST(CoverMarkTest, TheClickedCoverIsFramedAndItsTabDottedWithTheCaptionsUnchanged) {
    QTemporaryDir programDir;
    base::setProgramFolderForTesting(programDir.path());
    {
        app::MainWindow window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTabWidget* tabs = vexa::test::coverTabs(window);
        const QStringList captions = {"Front", "Inside", "Back", "DVD", "Mini", "PSP",
                                      "DS",    "SLIM",   "HD",   "Blu", "Vita", "Scan"};
        const QColor highlight = window.palette().color(QPalette::Highlight);
        const QColor white(Qt::white);
        for (int n = 1; n <= 11; ++n) {
            // The slots grow with the window; the pixels below are worked out at this size.
            vexa::test::slotHolder(window, n)->setFixedSize(465, 331);
            vexa::test::slotHolder(window, n)->setPicture(test::solidImage(60, 40, white.rgb()));
        }
        // The dot widens its tab; the rest of the window must not move for it.
        const QRect tabsBefore = tabs->geometry();

        // The DVD cover (Image4 on tab 3) is clicked, then the Front cover (Image1, tab 0).
        for (const int tab : {3, 0}) {
            tabs->setCurrentIndex(tab);
            widgets::PictureHolder* chosen = vexa::test::slotHolder(window, tab + 1);
            QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(100, 100));
            EXPECT_EQ(vexa::test::selectedSlotName(window), QStringLiteral("Image%1").arg(tab + 1));
            QCoreApplication::sendPostedEvents(); // the layout's answer to the wider tab
            EXPECT_EQ(tabs->geometry(), tabsBefore)
                << "tab strip " << tabsBefore.width() << " px wide, now " << tabs->width();

            for (int i = 0; i < tabs->count(); ++i) {
                EXPECT_EQ(tabs->tabText(i), captions[i]);
                EXPECT_EQ(tabs->tabIcon(i).isNull(), i != tab) << "tab " << i;
            }
            // Its picture, as the open tab shows it: the highlight at the edge, the picture
            // just inside the frame (459 x 325 pixels are left: the DVD cover, 1.5 : 1, is 306
            // high from y 3 + 9; the square CD front 325 wide from x 3 + 67).
            const QImage shown = chosen->grab().toImage();
            for (const QPoint edge : {QPoint(0, 0), QPoint(2, 2), QPoint(shown.width() - 1, 40),
                                      QPoint(50, shown.height() - 3)})
                EXPECT_EQ(shown.pixelColor(edge), highlight) << edge.x() << "," << edge.y();
            EXPECT_EQ(shown.pixelColor(tab == 3 ? QPoint(3, 12) : QPoint(70, 3)), white);
            // The other covers' pictures reach their letterboxes, unframed (the whole slot:
            // the DVD cover 310 high from y 10, the CD front 331 wide from x 67).
            const QImage other = vexa::test::slotHolder(window, tab == 3 ? 1 : 4)->grab().toImage();
            EXPECT_NE(other.pixelColor(0, 0), highlight);
            EXPECT_EQ(other.pixelColor(tab == 3 ? QPoint(67, 0) : QPoint(0, 10)), white);
        }
    }
    base::setProgramFolderForTesting(QString());
}
