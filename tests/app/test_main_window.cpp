#include "app/MainWindow.h"
#include "app/PictureBrowser.h"
#include "app/PictureLoader.h"
#include "core/base/ProgramFolder.h"
#include "core/settings/ProfileFile.h"
#include "editor/CoverEditor.h"
#include "notify/MessageNoticeWindow.h"
#include "support/LetterboxProbe.h"
#include "support/MainWindowParts.h"
#include "support/ModalDriver.h"
#include "support/SlotAccess.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

using vexa::app::MainWindow;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir programDir;
    QTemporaryDir picturesDir;

    void SetUp() override {
        vexa::base::setProgramFolderForTesting(programDir.path());
        ASSERT_TRUE(
            vexa::test::solidImage(40, 30, qRgb(255, 0, 0)).save(picture("red.jpg"), "JPG"));
        ASSERT_TRUE(
            vexa::test::solidImage(20, 10, qRgb(0, 0, 255)).save(picture("blue.bmp"), "BMP"));
        QFile broken(picture("broken.gif"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("GIF89a not really");
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    QString picture(const QString& name) const { return picturesDir.filePath(name); }

    void writeIni(const QByteArray& text) {
        QFile file(programDir.filePath("vexa6.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QString ini(const char* key) const {
        return vexa::settings::ProfileFile(programDir.filePath("vexa6.ini")).read("MAIN", key);
    }

    std::unique_ptr<MainWindow> openWindow() {
        auto window = std::make_unique<MainWindow>();
        window->start();
        return window;
    }

    // Clicks a file of the browser's file list as a user would.
    static void clickFile(MainWindow& window, const QString& name,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QListWidget* files = vexa::test::browser(window)->fileSelect();
        const QList<QListWidgetItem*> items = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        const QPoint centre = files->visualItemRect(items.first()).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, modifiers, centre);
        waitForLoads(window);
    }

    // Pictures decode on a worker thread and reach the slot when done.
    static void waitForLoads(MainWindow& window) {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !vexa::test::pictureLoader(window)->isBusy(); }, 10000));
    }

    // The text of the notice that is up, answered with Enter as a keyboard user would; the
    // window then has the keyboard back. Empty when no notice is up.
    static QString answerNotice(MainWindow& window) {
        vexa::notify::MessageNoticeWindow* notice = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* popup = qobject_cast<vexa::notify::MessageNoticeWindow*>(widget);
                popup && popup->isVisible())
                notice = popup;
        if (!notice) return {};
        const QString text = notice->messageLabel()->text();
        const QPointer<QWidget> open(notice); // it slides out, then deletes itself
        QTest::keyClick(notice, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !open || !open->isVisible(); }, 10000));
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return text;
    }

    static QRgb slotColour(MainWindow& window, int slot) {
        return vexa::test::slotHolder(window, slot)->picture().pixel(0, 0);
    }
};

TEST_F(MainWindowTest, WindowGrowsWithItsSlotsAndHasItsTabsAndControls) {
    auto window = openWindow();
    EXPECT_EQ(window->windowHandle()->title(), "VEXA 6"); // a set never saved, unchanged
    // The icon the desktop's menu shows for VEXA, not a picture of the window's own.
    EXPECT_EQ(vexa::test::differenceFromInstalledIcon(window->windowIcon()).toStdString(), "");
    // It opens on a 1366 x 768 screen with room for a panel, and grows with its slots and the
    // browser.
    EXPECT_LE(window->frameGeometry().width(), 1366);
    EXPECT_LE(window->frameGeometry().height(), 768 - 40);
    const QSize slotBefore = vexa::test::slotHolder(*window, 1)->size();
    const int browserBefore = vexa::test::browser(*window)->width();
    window->resize(window->size() + QSize(400, 200));
    QApplication::processEvents();
    EXPECT_GT(vexa::test::slotHolder(*window, 1)->width(), slotBefore.width());
    EXPECT_GT(vexa::test::slotHolder(*window, 1)->height(), slotBefore.height());
    EXPECT_GT(vexa::test::browser(*window)->width(), browserBefore);

    QStringList captions;
    for (int i = 0; i < vexa::test::coverTabs(*window)->count(); ++i)
        captions << vexa::test::coverTabs(*window)->tabText(i);
    EXPECT_EQ(captions, QStringList({"Front", "Inside", "Back", "DVD", "Mini", "PSP", "DS", "SLIM",
                                     "HD", "Blu", "Vita", "Scan"}));
    const QStringList slotNames{"frontSlot", "insideSlot", "backSlot", "dvdSlot",
                                "miniSlot",  "pspSlot",    "dsSlot",   "dvdSlimSlot",
                                "hdDvdSlot", "bluRaySlot", "vitaSlot"};
    for (int slot = 1; slot <= 11; ++slot) {
        auto* holder = window->findChild<vexa::widgets::PictureHolder*>(slotNames[slot - 1]);
        ASSERT_NE(holder, nullptr) << slot;
        EXPECT_EQ(holder->parentWidget(), vexa::test::coverTabs(*window)->widget(slot - 1));
        EXPECT_EQ(holder->toolTip(), "Cover image.");
    }
    EXPECT_EQ(vexa::test::scanHolder(*window)->toolTip(), "Scanned Picture");
    EXPECT_EQ(vexa::test::button(*window, "sourceButton")->text(), "&Source");
    EXPECT_EQ(vexa::test::button(*window, "acquireButton")->text(), "&Acquire");
    EXPECT_EQ(vexa::test::button(*window, "saveScanButton")->text(), "Sa&ve");
    EXPECT_EQ(vexa::test::button(*window, "acquireButton")->toolTip(), "Acquire Image");
    EXPECT_EQ(vexa::test::button(*window, "sourceButton")->toolTip(), "Select Scanner Source");
    EXPECT_EQ(vexa::test::button(*window, "saveScanButton")->toolTip(), "Save Image");
}

TEST_F(MainWindowTest, ToolbarAndMenusHaveTheirItemsInOrder) {
    auto window = openWindow();
    QStringList labels;
    for (int position = 1; position <= 6; ++position)
        labels << vexa::test::toolbarAction(*window, position)->iconText();
    EXPECT_EQ(labels, QStringList({"Print Cover", "Cover Manipulator", "Report A Bug", "Help",
                                   "About", "Visit Website"}));
    // A command offered in both places is one action.
    for (const auto& [position, name] : {std::pair{1, "printAction"},
                                         {3, "reportBugAction"},
                                         {5, "aboutAction"},
                                         {6, "visitWebsiteAction"}})
        EXPECT_EQ(vexa::test::toolbarAction(*window, position), vexa::test::action(*window, name))
            << name;
    auto itemsOf = [](QMenu* menu) {
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QString("-") : action->text());
        return items;
    };
    EXPECT_EQ(vexa::test::menu(*window, "fileMenu")->title(), "&File");
    EXPECT_EQ(itemsOf(vexa::test::menu(*window, "fileMenu")),
              QStringList({"&New", "&Open...", "Open &Recent", "Sa&ve", "Save &As...", "-",
                           "&Print", "Cover &Manipulator", "-", "&Select Printer", "-", "E&xit"}));
    EXPECT_EQ(vexa::test::menu(*window, "editMenu")->title(), "&Edit");
    EXPECT_EQ(itemsOf(vexa::test::menu(*window, "editMenu")),
              QStringList({"&Undo", "&Redo", "-", "Remove &Picture"}));
    EXPECT_EQ(vexa::test::menu(*window, "helpMenu")->title(), "&Help");
    EXPECT_EQ(itemsOf(vexa::test::menu(*window, "helpMenu")),
              QStringList({"Help &Contents", "-", "&Report A Bug", "&Visit Website", "-",
                           "Check For &Updates", "-", "&About"}));
}

TEST_F(MainWindowTest, EveryCommandHasItsKeys) {
    auto window = openWindow();
    // The keys desktop programs give these commands; Ctrl+E edits the open tab's cover.
    const std::pair<QAction*, const char*> keys[] = {
        {vexa::test::action(*window, "printAction"), "Ctrl+P"},
        {vexa::test::action(*window, "editOpenCoverAction"), "Ctrl+E"},
        {vexa::test::action(*window, "helpContentsAction"), "F1"},
        {vexa::test::action(*window, "exitAction"), "Ctrl+Q"},
        {vexa::test::action(*window, "newProjectAction"), "Ctrl+N"},
        {vexa::test::action(*window, "openProjectAction"), "Ctrl+O"},
        {vexa::test::action(*window, "saveProjectAction"), "Ctrl+S"},
        {vexa::test::action(*window, "saveProjectAsAction"), "Ctrl+Shift+S"},
        {vexa::test::action(*window, "undoCoversAction"), "Ctrl+Z"},
        {vexa::test::action(*window, "redoCoversAction"), "Ctrl+Shift+Z"},
        {vexa::test::action(*window, "removePictureAction"), "Del"}};
    for (const auto& [action, key] : keys)
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(key))) << key;
    // Alt and one letter reach each item: no letter twice in a menu.
    for (QMenu* menu :
         {vexa::test::menu(*window, "fileMenu"), vexa::test::menu(*window, "editMenu"),
          vexa::test::menu(*window, "helpMenu")}) {
        QString letters;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            const qsizetype amp = action->text().indexOf('&');
            ASSERT_GE(amp, 0) << action->text().toStdString();
            const QChar letter = action->text().at(amp + 1).toLower();
            EXPECT_FALSE(letters.contains(letter)) << action->text().toStdString();
            letters += letter;
        }
    }
}

TEST_F(MainWindowTest, CtrlESelectsTheOpenTabsCoverAndEditsItWhenItHoldsAPicture) {
    auto window = openWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));

    // Back has no picture yet: a notice says so and the selection stays as it was.
    vexa::test::coverTabs(*window)->setCurrentIndex(2);
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(answerNotice(*window),
              "The CD back cover has no picture yet. Click a picture file on the right to put it "
              "there.");
    EXPECT_EQ(vexa::test::selectedSlotName(*window), "");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    vexa::test::coverTabs(*window)->setCurrentIndex(5); // PSP
    clickFile(*window, "red.jpg");
    QString editedCover;
    vexa::test::whenModal<vexa::editor::CoverEditor>([&](vexa::editor::CoverEditor* editor) {
        editedCover = vexa::test::selectedSlotName(*window);
        editor->close();
    });
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(editedCover, "Image6");
}

TEST_F(MainWindowTest, ReadiniRestoresTabDriveAndFolder) {
    writeIni("[MAIN]\nTab=11\nDrive=/\nDir=" + picturesDir.path().toUtf8() + "\n");
    auto window = openWindow();
    EXPECT_EQ(vexa::test::coverTabs(*window)->currentIndex(), 11);
    EXPECT_EQ(vexa::test::browser(*window)->folder(), picturesDir.path());
    EXPECT_EQ(vexa::test::browser(*window)->fileSelect()->count(), 3);
}

TEST_F(MainWindowTest, TabValuesThatAreNotExactlyAnIndexSelectTheFirstTab) {
    for (const char* value : {"12", "05", "-1", "3x", "+3", "abc", ""}) {
        writeIni(QByteArray("[MAIN]\nTab=") + value +
                 "\nDrive=/\nDir=" + picturesDir.path().toUtf8() + "\n");
        auto window = openWindow();
        EXPECT_EQ(vexa::test::coverTabs(*window)->currentIndex(), 0) << value;
        EXPECT_EQ(vexa::test::browser(*window)->folder(), picturesDir.path()) << value;
    }
}

TEST_F(MainWindowTest, MissingFolderOrDriveFallsBackToTheProgramFolderAndFirstTab) {
    const QByteArray deleted = picturesDir.filePath("deleted").toUtf8();
    for (const QByteArray& text :
         {"[MAIN]\nTab=5\nDrive=/\nDir=" + deleted + "\n",
          "[MAIN]\nTab=5\nDrive=/media/not-mounted\nDir=" + picturesDir.path().toUtf8() + "\n",
          QByteArray("[MAIN]\nTab=5\n"), QByteArray()}) {
        writeIni(text);
        auto window = openWindow();
        EXPECT_EQ(vexa::test::coverTabs(*window)->currentIndex(), 0) << text.constData();
        EXPECT_EQ(vexa::test::browser(*window)->folder(), programDir.path()) << text.constData();
        EXPECT_FALSE(vexa::test::browser(*window)->drive().isEmpty());
    }
}

TEST_F(MainWindowTest, ExitWritesTabDriveAndFolderNextToOtherKeys) {
    writeIni("[MAIN]\nFront=-1\nDVD=0\n");
    auto window = openWindow();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    vexa::test::coverTabs(*window)->setCurrentIndex(7);
    vexa::test::action(*window, "exitAction")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ini("Tab"), "7");
    EXPECT_EQ(ini("Dir"), picturesDir.path());
    EXPECT_EQ(ini("Drive"), vexa::test::browser(*window)->drive());
    EXPECT_TRUE(ini("Drive").startsWith("/"));
    EXPECT_EQ(ini("Front"), "-1");
    EXPECT_EQ(ini("DVD"), "0");
}

TEST_F(MainWindowTest, ClickingAFileLoadsItIntoTheOpenTabsSlotOnly) {
    auto window = openWindow();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    vexa::test::coverTabs(*window)->setCurrentIndex(3); // DVD
    clickFile(*window, "red.jpg");
    ASSERT_FALSE(vexa::test::slotHolder(*window, 4)->picture().isNull());
    EXPECT_EQ(vexa::test::slotHolder(*window, 4)->picture().size(),
              QSize(40, 30)); // full resolution kept
    EXPECT_EQ(qRed(slotColour(*window, 4)), 254);
    for (int slot : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11})
        EXPECT_TRUE(vexa::test::slotHolder(*window, slot)->picture().isNull()) << slot;

    // The same file can go into another slot too.
    vexa::test::coverTabs(*window)->setCurrentIndex(9); // Blu
    clickFile(*window, "red.jpg");
    EXPECT_FALSE(vexa::test::slotHolder(*window, 10)->picture().isNull());
    EXPECT_EQ(vexa::test::slotPicture(*window, "Image10").size(), QSize(40, 30));
}

TEST_F(MainWindowTest, ScanTabLoadsNothing) {
    auto window = openWindow();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    vexa::test::coverTabs(*window)->setCurrentIndex(11);
    clickFile(*window, "blue.bmp");
    EXPECT_TRUE(vexa::test::scanHolder(*window)->picture().isNull());
    for (int slot = 1; slot <= 11; ++slot)
        EXPECT_TRUE(vexa::test::slotHolder(*window, slot)->picture().isNull());
}

// Each leaves the slot as it was, and a notice names the file.
TEST_F(MainWindowTest, BrokenOrVanishedFilesLeaveTheSlotAsItWas) {
    auto window = openWindow();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    clickFile(*window, "blue.bmp");
    ASSERT_EQ(slotColour(*window, 1), qRgb(0, 0, 255));
    EXPECT_TRUE(answerNotice(*window).isEmpty());
    clickFile(*window, "broken.gif");
    EXPECT_EQ(slotColour(*window, 1), qRgb(0, 0, 255));
    EXPECT_TRUE(answerNotice(*window).contains("'broken.gif'"));
    ASSERT_TRUE(QFile::remove(picture("red.jpg"))); // still listed until the next refresh
    clickFile(*window, "red.jpg");
    EXPECT_EQ(slotColour(*window, 1), qRgb(0, 0, 255));
    EXPECT_TRUE(answerNotice(*window).contains("'red.jpg'"));
    EXPECT_TRUE(vexa::test::mainToolbar(*window)->isEnabled());
    EXPECT_TRUE(vexa::test::menu(*window, "fileMenu")->menuAction()->isEnabled());
    vexa::test::browser(*window)->refreshFiles();
    EXPECT_EQ(vexa::test::browser(*window)->fileSelect()->count(), 2);
}

TEST_F(MainWindowTest, ArrowKeysLoadEachFileInTurn) {
    auto window = openWindow();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    QListWidget* files = vexa::test::browser(*window)->fileSelect();
    ASSERT_EQ(files->item(0)->text(), "blue.bmp");
    ASSERT_EQ(files->item(2)->text(), "red.jpg");
    clickFile(*window, "blue.bmp");
    EXPECT_EQ(slotColour(*window, 1), qRgb(0, 0, 255));
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Down); // broken.gif: slot unchanged, a notice to answer
    waitForLoads(*window);
    EXPECT_EQ(slotColour(*window, 1), qRgb(0, 0, 255));
    EXPECT_TRUE(answerNotice(*window).contains("'broken.gif'"));
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Down); // red.jpg
    waitForLoads(*window);
    EXPECT_EQ(qRed(slotColour(*window, 1)), 254);
    QTest::keyClick(files, Qt::Key_Up);
    QTest::keyClick(files, Qt::Key_Up); // back to blue
    waitForLoads(*window);
    EXPECT_EQ(slotColour(*window, 1), qRgb(0, 0, 255));
}

TEST_F(MainWindowTest, SeveralSelectedFilesLoadInListOrderSoTheLastStays) {
    auto window = openWindow();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    QListWidget* files = vexa::test::browser(*window)->fileSelect();
    files->item(2)->setSelected(true); // red.jpg
    files->item(0)->setSelected(true); // blue.bmp
    EXPECT_EQ(vexa::test::browser(*window)->selectedFilePaths(),
              QStringList({picture("blue.bmp"), picture("red.jpg")}));
    window->loadSelectedFiles();
    waitForLoads(*window);
    EXPECT_EQ(qRed(slotColour(*window, 1)), 254);
}

TEST_F(MainWindowTest, ClickingASlotSelectsItUntilAnotherIsClicked) {
    auto window = openWindow();
    EXPECT_EQ(vexa::test::selectedSlotName(*window), "");
    vexa::test::coverTabs(*window)->setCurrentIndex(2);
    QTest::mouseClick(vexa::test::slotHolder(*window, 3), Qt::LeftButton);
    EXPECT_EQ(vexa::test::selectedSlotName(*window), "Image3");
    vexa::test::coverTabs(*window)->setCurrentIndex(11);
    QTest::mouseClick(vexa::test::scanHolder(*window), Qt::LeftButton);
    EXPECT_EQ(vexa::test::selectedSlotName(*window), "Image3");
    vexa::test::coverTabs(*window)->setCurrentIndex(10);
    QTest::mouseClick(vexa::test::slotHolder(*window, 11), Qt::LeftButton);
    EXPECT_EQ(vexa::test::selectedSlotName(*window), "Image11");
}

TEST_F(MainWindowTest, SlotPicturesAreNotKeptBetweenRuns) {
    {
        auto window = openWindow();
        vexa::test::setSlotPicture(*window, "Image2", vexa::test::solidImage(5, 5, qRgb(1, 2, 3)));
        window->close();
    }
    auto window = openWindow();
    for (int slot = 1; slot <= 11; ++slot)
        EXPECT_TRUE(vexa::test::slotPicture(*window, QString("Image%1").arg(slot)).isNull());
}

TEST_F(MainWindowTest, EachSlotShowsItsCoverInThePrintedProportionsLetterboxed) {
    auto window = openWindow();
    // Worked out by hand from the cover sizes in twips and the 465 x 331 slot.
    const struct {
        int slot;
        QRect picture;
    } cases[] = {
        {1, {67, 0, 331, 331}}, // CD front, square
        {3, {22, 0, 420, 331}}, // CD back, 8496 x 6696
        {4, {0, 10, 465, 310}}, // DVD, 15390 x 10260
        {5, {76, 0, 312, 331}}, // CD mini, 4680 x 4968
        {7, {0, 68, 465, 195}}, // DS, 15652.8 x 6580.8
    };
    const QRgb red = qRgb(255, 0, 0);
    for (const auto& c : cases) {
        const QString name = QString("Image%1").arg(c.slot);
        // A picture of other proportions than the cover is stretched to the cover's.
        vexa::test::setSlotPicture(*window, name, vexa::test::solidImage(40, 300, red));
        vexa::test::coverTabs(*window)->setCurrentIndex(vexa::test::coverTabs(*window)->indexOf(
            vexa::test::slotHolder(*window, c.slot)->parentWidget()));
        vexa::widgets::PictureHolder* holder = vexa::test::slotHolder(*window, c.slot);
        holder->setFixedSize(465, 331); // slots grow with the window; measured at this size
        const QRgb background = holder->palette().color(holder->backgroundRole()).rgb();
        EXPECT_TRUE(vexa::test::showsLetterboxed(holder->grab().toImage(), holder->rect(),
                                                 c.picture, red, background))
            << name.toStdString();
    }
}

} // namespace
