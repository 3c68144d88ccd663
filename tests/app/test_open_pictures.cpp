// Pictures reaching the cover slots from outside the browser (drop, command line, Ctrl+V),
// loading on a worker thread, and the browser's refresh.
#include "app/MainWindow.h"
#include "app/OpenedFiles.h"
#include "app/PictureBrowser.h"
#include "app/PictureLoader.h"
#include "core/base/FilePath.h"
#include "core/base/ProgramFolder.h"
#include "core/cover/CoverSet.h"
#include "editor/CoverEditor.h"
#include "notify/MessageNoticeWindow.h"
#include "notify/PopupGeometry.h"
#include "support/FakeXdgOpen.h"
#include "support/MainWindowParts.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include "support/SlotAccess.h"
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

using vexa::app::MainWindow;

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kGreen = qRgb(0, 255, 0);

class OpenPicturesTest : public ::testing::Test {
protected:
    QTemporaryDir programDir;
    QTemporaryDir picturesDir;
    std::unique_ptr<MainWindow> window;

    void SetUp() override {
        vexa::base::setProgramFolderForTesting(programDir.path());
        ASSERT_TRUE(vexa::test::solidImage(20, 10, kBlue).save(picture("blue.bmp"), "BMP"));
        ASSERT_TRUE(vexa::test::solidImage(8, 6, kGreen).save(picture("green.bmp"), "BMP"));
        QFile broken(picture("broken.gif"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("GIF89a not really");
        window = std::make_unique<MainWindow>();
        window->start();
    }
    void TearDown() override {
        window.reset();
        vexa::notify::resetOpenPopupCountForTesting();
        vexa::base::setProgramFolderForTesting(QString());
    }

    QString picture(const QString& name) const { return picturesDir.filePath(name); }

    void waitForLoads() {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !vexa::test::pictureLoader(*window)->isBusy(); }, 10000));
    }
    // The colour of a slot's picture, or 0 when it is empty.
    QRgb slot(int number) const {
        const QImage& shown = vexa::test::slotHolder(*window, number)->picture();
        return shown.isNull() ? 0 : shown.pixel(0, 0);
    }
    bool commandsEnabled() const {
        return vexa::test::mainToolbar(*window)->isEnabled() &&
               vexa::test::menu(*window, "fileMenu")->menuAction()->isEnabled() &&
               vexa::test::menu(*window, "helpMenu")->menuAction()->isEnabled();
    }
    static QMimeData* filesMime(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }
    static QList<vexa::notify::MessageNoticeWindow*> openPopups() {
        QList<vexa::notify::MessageNoticeWindow*> open;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* popup = qobject_cast<vexa::notify::MessageNoticeWindow*>(widget);
                popup && popup->isVisible())
                open << popup;
        return open;
    }
    static vexa::notify::MessageNoticeWindow* openPopup() {
        const QList<vexa::notify::MessageNoticeWindow*> open = openPopups();
        return open.isEmpty() ? nullptr : open.first();
    }
    // The text of the one notice that is up, which is then answered and the keyboard given
    // back to the window; empty when none is up.
    QString answerNotice() {
        const QList<vexa::notify::MessageNoticeWindow*> open = openPopups();
        EXPECT_LE(open.size(), 1);
        if (open.isEmpty()) return {};
        const QString text = open.first()->messageLabel()->text();
        open.first()->close();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return text;
    }
};

TEST_F(OpenPicturesTest, ClickLoadsOnAWorkerIntoTheTabOpenAtTheClickAndNewerClicksWin) {
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    QListWidget* files = vexa::test::browser(*window)->fileSelect();
    ASSERT_EQ(files->item(2)->text(), "green.bmp");

    // Click on Front, switch to Inside before the worker is done: the picture goes to Front,
    // and only once it is complete; meanwhile the commands are locked and the pointer busy.
    vexa::test::coverTabs(*window)->setCurrentIndex(0);
    files->item(0)->setSelected(true); // blue.bmp
    window->loadSelectedFiles();
    vexa::test::coverTabs(*window)->setCurrentIndex(1);
    EXPECT_EQ(slot(1), 0u);
    EXPECT_FALSE(commandsEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    waitForLoads();
    EXPECT_EQ(slot(1), kBlue);
    EXPECT_EQ(slot(2), 0u);
    EXPECT_TRUE(commandsEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Two clicks before the first is delivered: only the newer one reaches a slot.
    vexa::test::coverTabs(*window)->setCurrentIndex(3);
    files->clearSelection();
    files->item(2)->setSelected(true); // green.bmp into DVD...
    window->loadSelectedFiles();
    vexa::test::coverTabs(*window)->setCurrentIndex(4);
    files->clearSelection();
    files->item(0)->setSelected(true); // ...superseded by blue.bmp into Mini
    window->loadSelectedFiles();
    waitForLoads();
    EXPECT_EQ(slot(4), 0u);
    EXPECT_EQ(slot(5), kBlue);
    EXPECT_TRUE(commandsEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Closing the window while a load runs: the worker's result is dropped safely.
    window->loadSelectedFiles();
    window.reset();
    QApplication::restoreOverrideCursor(); // the pointer the destroyed window had set
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OpenPicturesTest, FilesDroppedOnASlotLoadTheLastReadableOne) {
    vexa::test::coverTabs(*window)->setCurrentIndex(6); // DS
    vexa::widgets::PictureHolder* target = vexa::test::slotHolder(*window, 7);
    const QPoint inside = target->rect().center();
    auto drop = [&](QMimeData* data) {
        std::unique_ptr<QMimeData> owned(data);
        QDragEnterEvent enter(inside, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(inside), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        waitForLoads();
        return dropped.isAccepted();
    };

    EXPECT_TRUE(drop(filesMime({picture("blue.bmp"), picture("green.bmp"), picture("broken.gif"),
                                picture("missing.jpg")})));
    EXPECT_EQ(slot(7), kGreen);
    // The last file, the one meant to stay, was not there: the notice says so.
    EXPECT_TRUE(answerNotice().contains("'missing.jpg'"));
    EXPECT_TRUE(drop(filesMime({picture("broken.gif")})));
    EXPECT_EQ(slot(7), kGreen); // unreadable: the slot stays as it was, with a notice
    EXPECT_TRUE(answerNotice().contains("'broken.gif'"));

    auto* text = new QMimeData;
    text->setText(picture("blue.bmp"));
    EXPECT_FALSE(drop(text));
    auto* web = new QMimeData;
    web->setUrls({QUrl("https://example.invalid/cover.jpg")});
    EXPECT_FALSE(drop(web));
    EXPECT_EQ(slot(7), kGreen);
    for (int other : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11}) EXPECT_EQ(slot(other), 0u) << other;
}

TEST(OpenedFiles, OneFilePerSlotFromTheOpenTabOn) {
    const QStringList three{"/a.jpg", "/b.jpg", "/c.jpg"};
    struct Case {
        int openTab;
        QStringList files;
        QStringList slotNames;
        qsizetype leftOut;
    };
    const Case cases[] = {
        {0, three, {"Image1", "Image2", "Image3"}, 0},
        {9, three, {"Image10", "Image11"}, 1}, // Blu, Vita, then no slot
        {10, three, {"Image11"}, 2},
        {11, three, {"Image1", "Image2", "Image3"}, 0}, // Scan tab: from Front
        {4, {}, {}, 0},
    };
    for (const Case& c : cases) {
        const vexa::app::OpenedFilesPlan plan = vexa::app::planOpenedFiles(c.openTab, c.files);
        QStringList slotNames;
        for (qsizetype i = 0; i < plan.loads.size(); ++i) {
            slotNames << vexa::test::slotObjectName(plan.loads[i].kind);
            EXPECT_EQ(plan.loads[i].paths, QStringList{c.files[i]}) << c.openTab;
        }
        EXPECT_EQ(slotNames, c.slotNames) << c.openTab;
        EXPECT_EQ(plan.leftOut, c.leftOut) << c.openTab;
    }
    EXPECT_EQ(vexa::app::leftOutNotice(1),
              "1 file was left out: there is no cover slot after Vita.");
    EXPECT_EQ(vexa::app::leftOutNotice(7),
              "7 files were left out: there is no cover slot after Vita.");

    EXPECT_EQ(vexa::app::filesFromArguments({"--", "covers/a b.jpg", "/tmp/../srv/x.bmp",
                                             "file:///home/u/r%C3%A9sum%C3%A9.gif",
                                             "https://example.invalid/y.jpg"},
                                            "/home/u"),
              QStringList({"/home/u/covers/a b.jpg", "/srv/x.bmp", "/home/u/résumé.gif"}));
    // A file whose name only looks like an address keeps its slot.
    QTemporaryDir here;
    QFile colon(here.filePath("shot:1.jpg"));
    ASSERT_TRUE(colon.open(QIODevice::WriteOnly));
    EXPECT_EQ(vexa::app::filesFromArguments({"shot:1.jpg", "b.jpg"}, here.path()),
              QStringList({here.filePath("shot:1.jpg"), here.filePath("b.jpg")}));
}

TEST_F(OpenPicturesTest, OpenedFilesFillTheSlotsAndANoticeCountsTheRest) {
    vexa::test::coverTabs(*window)->setCurrentIndex(8); // HD
    window->openFiles({picture("blue.bmp"), picture("broken.gif"), picture("green.bmp"),
                       picture("blue.bmp"), picture("green.bmp")});
    vexa::notify::MessageNoticeWindow* popup = openPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->messageLabel()->text(),
              "2 files were left out: there is no cover slot after Vita.");
    popup->close();
    waitForLoads();
    EXPECT_EQ(slot(9), kBlue);
    EXPECT_EQ(slot(10), 0u); // broken.gif took Blu and left it empty, with a notice
    EXPECT_TRUE(answerNotice().contains("'broken.gif'"));
    EXPECT_EQ(slot(11), kGreen);
    for (int other = 1; other <= 8; ++other) EXPECT_EQ(slot(other), 0u) << other;
}

// `vexa caf$'\xe9'.bmp`: a name that is not UTF-8 reaches the file by its bytes, named as a
// path or as a file:// address with the byte escaped.
TEST_F(OpenPicturesTest, FileNamesThatAreNotUtf8OpenByTheirBytes) {
    const QByteArray folder = QFile::encodeName(picturesDir.path());
    const QByteArray bytes = folder + "/caf\xe9.bmp";
    ASSERT_EQ(::symlink(QFile::encodeName(picture("blue.bmp")).constData(), bytes.constData()), 0);
    const QString name = vexa::base::fileNameText(bytes);
    EXPECT_EQ(
        vexa::app::filesFromArguments({"caf" + vexa::base::fileNameText("\xe9") + ".bmp",
                                       "file://" + QString::fromLatin1(folder) + "/caf%E9.bmp"},
                                      vexa::base::fileNameText(folder)),
        QStringList({name, name}));
    vexa::test::coverTabs(*window)->setCurrentIndex(3); // DVD
    window->openFiles({name});
    waitForLoads();
    EXPECT_EQ(slot(4), kBlue);
}

TEST_F(OpenPicturesTest, CtrlVPutsTheClipboardPictureIntoTheOpenTabsSlot) {
    QClipboard* clipboard = QApplication::clipboard();
    window->activateWindow(); // a shortcut of the window works while it has the focus
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    vexa::test::coverTabs(*window)->setCurrentIndex(5); // PSP
    clipboard->setImage(vexa::test::solidImage(12, 9, kBlue));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_EQ(slot(6), kBlue);
    EXPECT_EQ(vexa::test::slotHolder(*window, 6)->picture().size(), QSize(12, 9));
    // A transparent one shows the white paper it prints on, not the colour stored under it.
    QImage clear(12, 9, QImage::Format_ARGB32);
    clear.fill(qRgba(0, 0, 255, 0));
    clipboard->setImage(clear);
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_EQ(slot(6), qRgb(255, 255, 255));

    // Files copied in a file manager: the last readable one, as with a drop.
    vexa::test::coverTabs(*window)->setCurrentIndex(2); // Back
    clipboard->setMimeData(filesMime({picture("green.bmp"), picture("broken.gif")}));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_EQ(slot(3), kGreen);
    EXPECT_TRUE(answerNotice().contains("'broken.gif'"));

    // The Scan tab has no cover slot; plain text is no picture.
    vexa::test::coverTabs(*window)->setCurrentIndex(11);
    clipboard->setImage(vexa::test::solidImage(4, 4, kGreen));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    vexa::test::coverTabs(*window)->setCurrentIndex(0);
    clipboard->setText("not a picture");
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_TRUE(vexa::test::scanHolder(*window)->picture().isNull());
    EXPECT_EQ(slot(1), 0u);
}

// How the desktop's clipboard presents a picture copied in another program: the file's
// bytes under their type, and a Qt image decoded from them when asked for one.
class OtherProgramsPicture : public QMimeData {
public:
    explicit OtherProgramsPicture(QByteArray jpeg) : m_jpeg(std::move(jpeg)) {}
    QStringList formats() const override { return {"image/jpeg", "application/x-qt-image"}; }
    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        if (format == "image/jpeg") return m_jpeg;
        if (format == "application/x-qt-image") return QImage::fromData(m_jpeg);
        return {};
    }

private:
    QByteArray m_jpeg;
};

TEST_F(OpenPicturesTest, APastedPictureOfAnotherProgramIsCheckedLikeAFile) {
    QImage noise(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y,
                           qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x * 5 + y * 91) % 256));
    QByteArray jpeg;
    QBuffer out(&jpeg);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && noise.save(&out, "JPEG", 90));
    // Cut short with its end marker put back: the decoder meets the end of the data early.
    const QByteArray damaged = jpeg.left(jpeg.size() * 6 / 10) + QByteArray("\xFF\xD9");

    QClipboard* clipboard = QApplication::clipboard();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    vexa::test::coverTabs(*window)->setCurrentIndex(0);
    clipboard->setMimeData(new OtherProgramsPicture(damaged));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_EQ(slot(1), 0u); // refused, as the same file clicked in the browser is
    EXPECT_TRUE(answerNotice().contains("the picture on the clipboard"));

    clipboard->setMimeData(new OtherProgramsPicture(jpeg));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_EQ(vexa::test::slotHolder(*window, 1)->picture().size(), QSize(64, 48));
}

// A file that is no readable picture is named in a notice, with the reason when there is more
// to say than that; more of them while the notice is up add no second one.
TEST_F(OpenPicturesTest, AnUnreadableFileIsNamedInOneNoticeAtATime) {
    QFile big(picture("big.bmp")); // 54 bytes declaring 256 megapixels
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(vexa::test::bmpDeclaring(16000, 16000));
    big.close();
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    QListWidget* files = vexa::test::browser(*window)->fileSelect();
    ASSERT_EQ(files->item(0)->text(), "big.bmp");
    vexa::test::coverTabs(*window)->setCurrentIndex(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    files->setFocus();
    files->setCurrentRow(0); // as an arrow key moves there
    waitForLoads();
    QList<vexa::notify::MessageNoticeWindow*> notices = openPopups();
    ASSERT_EQ(notices.size(), 1);
    const QString text = notices.first()->messageLabel()->text();
    EXPECT_TRUE(text.contains("'big.bmp'")) << text.toStdString();
    EXPECT_TRUE(text.contains("The picture is 16000 x 16000 pixels (256 megapixels); VEXA reads "
                              "pictures of up to 250 megapixels."))
        << text.toStdString();
    EXPECT_FALSE(window->isEnabled()); // the notice waits for its answer
    EXPECT_EQ(slot(1), 0u);
    // Whole inside the small notice (above its button), and whole in the tool tip.
    const QLabel* label = notices.first()->messageLabel();
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
    EXPECT_EQ(label->toolTip(), text);

    // Files that do not read meanwhile wait their turn: one notice at a time, none lost, and
    // the main window stays locked until the last is answered.
    window->openFiles({picture("broken.gif"), picture("missing.jpg")});
    waitForLoads();
    EXPECT_EQ(openPopups(), notices);
    const QFont size = notices.first()->messageLabel()->font();
    notices.first()->close();
    for (const char* next : {"'broken.gif'", "'missing.jpg'"}) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return openPopups().size() == 1; }, 10000)) << next;
        EXPECT_FALSE(window->isEnabled()) << next;
        const vexa::notify::MessageNoticeWindow* shown = openPopups().first();
        EXPECT_EQ(shown->messageLabel()->font(), size) << next;
        EXPECT_TRUE(shown->messageLabel()->text().contains(next)) << next;
        openPopups().first()->close();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isEnabled(); }, 10000));
    EXPECT_TRUE(openPopups().isEmpty());
    // The keyboard is back in the file list, where it was when the first notice came.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == files; }, 10000));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    // Once answered, the next one is told: `vexa FILE` with a damaged file whose name holds
    // markup and a control character, shown as they are and escaped.
    const QString odd = QStringLiteral("<i>odd\x1b.gif");
    ASSERT_TRUE(QFile::copy(picture("broken.gif"), picture(odd)));
    window->openFiles({picture(odd)});
    waitForLoads();
    notices = openPopups();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.first()->messageLabel()->textFormat(), Qt::PlainText);
    const QString damaged = answerNotice();
    EXPECT_TRUE(damaged.contains("'<i>odd\\x1B.gif'")) << damaged.toStdString();
    EXPECT_FALSE(damaged.contains("megapixels")) << damaged.toStdString();
    for (int number = 1; number <= 11; ++number) EXPECT_EQ(slot(number), 0u) << number;

    // A name too long for the notice is shortened in its middle there, and kept whole in the
    // tool tip.
    const QString longName = QString(40, 'a') + QString(80, 'z') + QStringLiteral("end.gif");
    ASSERT_TRUE(QFile::copy(picture("broken.gif"), picture(longName)));
    window->openFiles({picture(longName)});
    waitForLoads();
    notices = openPopups();
    ASSERT_EQ(notices.size(), 1);
    const QLabel* shortened = notices.first()->messageLabel();
    EXPECT_TRUE(shortened->text().startsWith("VEXA cannot read 'aaa"))
        << shortened->text().toStdString();
    EXPECT_TRUE(shortened->text().contains(QChar(0x2026))) << shortened->text().toStdString();
    EXPECT_LE(shortened->sizeHint().width(), shortened->width());
    EXPECT_LE(shortened->heightForWidth(shortened->width()), shortened->height());
    EXPECT_TRUE(shortened->toolTip().contains(longName));
    answerNotice();
}

TEST_F(OpenPicturesTest, RefreshLeavesAnUnchangedListAloneAndKeepsTheSelectionOnChange) {
    ASSERT_TRUE(vexa::test::browser(*window)->setFolder(picturesDir.path()));
    QListWidget* files = vexa::test::browser(*window)->fileSelect();
    files->item(0)->setSelected(true); // blue.bmp
    files->item(2)->setSelected(true); // green.bmp
    QListWidgetItem* const firstItem = files->item(0);
    QSignalSpy clicked(vexa::test::browser(*window), &vexa::app::PictureBrowser::filesClicked);
    waitForLoads();
    clicked.clear();

    vexa::test::browser(*window)->refreshFiles();
    EXPECT_EQ(files->item(0), firstItem); // the very same items: nothing was rebuilt
    EXPECT_EQ(files->selectedItems().size(), 2);

    ASSERT_TRUE(QFile::remove(picture("broken.gif")));
    ASSERT_TRUE(QFile::copy(picture("blue.bmp"), picture("azure.BMP")));
    vexa::test::browser(*window)->refreshFiles();
    QStringList names, selected;
    for (int row = 0; row < files->count(); ++row) {
        names << files->item(row)->text();
        if (files->item(row)->isSelected()) selected << files->item(row)->text();
    }
    EXPECT_EQ(names, QStringList({"azure.BMP", "blue.bmp", "green.bmp"}));
    EXPECT_EQ(selected, QStringList({"blue.bmp", "green.bmp"}));
    EXPECT_EQ(clicked.size(), 0); // a refresh loads nothing
    EXPECT_FALSE(vexa::test::pictureLoader(*window)->isBusy());
}

} // namespace

TEST_F(OpenPicturesTest, AFileKeepsItsBytesAndAnEditOrAPasteMarksTheRecordChanged) {
    using vexa::cover::CoverKind;
    vexa::cover::CoverSet& covers = window->covers();
    QSignalSpy changed(&covers, &vexa::cover::CoverSet::pictureChanged);
    QFile file(picture("blue.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    vexa::test::coverTabs(*window)->setCurrentIndex(3); // DVD
    window->openFiles({picture("blue.bmp")});
    waitForLoads();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<CoverKind>(), CoverKind::Dvd);
    EXPECT_EQ(covers.picture(CoverKind::Dvd).bytes, bytes);
    EXPECT_EQ(covers.picture(CoverKind::Dvd).format, QByteArray("bmp"));
    EXPECT_FALSE(covers.picture(CoverKind::Dvd).changed);
    EXPECT_EQ(slot(4), kBlue); // the slot shows what the set holds

    // The editor closed without an edit leaves the file's record; a rotated picture is made.
    vexa::test::whenModal<vexa::editor::CoverEditor>(
        [](vexa::editor::CoverEditor* editor) { editor->acceptButton()->click(); });
    vexa::test::action(*window, "editOpenCoverAction")->trigger();
    EXPECT_EQ(covers.picture(CoverKind::Dvd).bytes, bytes);
    EXPECT_FALSE(covers.picture(CoverKind::Dvd).changed);
    vexa::test::whenModal<vexa::editor::CoverEditor>([](vexa::editor::CoverEditor* editor) {
        editor->toolbarButton(1)->trigger(); // rotate, a job of its own
        ASSERT_TRUE(vexa::test::waitUntil([editor] { return !editor->isBusy(); }));
        editor->acceptButton()->click();
    });
    vexa::test::action(*window, "editOpenCoverAction")->trigger();
    EXPECT_TRUE(covers.picture(CoverKind::Dvd).changed);
    EXPECT_TRUE(covers.picture(CoverKind::Dvd).bytes.isEmpty());
    EXPECT_EQ(covers.picture(CoverKind::Dvd).pixels.size(), QSize(10, 20));

    // A pasted bitmap has no file behind it.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    vexa::test::coverTabs(*window)->setCurrentIndex(5); // PSP
    QApplication::clipboard()->setImage(vexa::test::solidImage(12, 9, kGreen));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    waitForLoads();
    EXPECT_TRUE(covers.picture(CoverKind::Psp).changed);
    EXPECT_TRUE(covers.picture(CoverKind::Psp).bytes.isEmpty());
    EXPECT_EQ(slot(6), kGreen);
    // The load, the rotated picture's Accept, the paste: an Accept without an edit is no
    // change (and no step of Undo).
    EXPECT_EQ(changed.count(), 3);
}
