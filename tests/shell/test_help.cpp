// The help: the contents file, the help window, opening and closing, and the pages we ship.
#include "shell/HelpBook.h"
#include "shell/HelpLauncher.h"
#include "shell/HelpWindow.h"
#include "support/FakeXdgOpen.h"
#include "support/TestSupport.h"
#include "update/UpdateCheckVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QPointer>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

QString shippedHelp() {
    return vexa::test::sourceDir() + "/resources/help";
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A help folder of two pages, one of them listed but missing.
class SmallHelp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        writeFile(dir.filePath("contents.txt"), "First steps | first.html\n"
                                                "  Details | details.html\n"
                                                "Gone | gone.html\n");
        writeFile(dir.filePath("first.html"),
                  "<html><body><h1>First</h1><a href=\"details.html\">on</a></body></html>");
        writeFile(dir.filePath("details.html"), "<html><body><h1>Details</h1></body></html>");
        help.setHelpFolder(dir.path());
    }
    void TearDown() override {
        help.closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir dir;
    QWidget owner;
    shell::HelpLauncher help;
};

} // namespace

TEST(HelpContentsTest, TopicsWithTheirLevelsCommentsAndBlankLinesSkipped) {
    const auto topics = shell::parseHelpContents("# comment\r\n"
                                                 "\n"
                                                 "Welcome | welcome.html\r\n"
                                                 "  Slots | cover-slots.html\n"
                                                 "    Deeper | deeper_2.html\n"
                                                 "Printing|printing.html\n");
    ASSERT_EQ(topics.size(), 4);
    EXPECT_EQ(topics[0].title, "Welcome");
    EXPECT_EQ(topics[0].file, "welcome.html");
    EXPECT_EQ(topics[0].level, 0);
    EXPECT_EQ(topics[1].level, 1);
    EXPECT_EQ(topics[2].level, 2);
    EXPECT_EQ(topics[2].file, "deeper_2.html");
    EXPECT_EQ(topics[3].title, "Printing");
    EXPECT_EQ(topics[3].level, 0);
}

TEST(HelpContentsTest, OnlyPlainPagesOfTheHelpFolderAreTaken) {
    const auto topics = shell::parseHelpContents("No bar at all\n"
                                                 " | untitled.html\n"
                                                 "Up | ../secret.html\n"
                                                 "Absolute | /etc/passwd\n"
                                                 "Sub | sub/page.html\n"
                                                 "Text | notes.txt\n"
                                                 "Web | http://x.example/a.html\n"
                                                 "Fine | fine.html\n");
    ASSERT_EQ(topics.size(), 1);
    EXPECT_EQ(topics[0].file, "fine.html");
}

TEST(HelpContentsTest, TheContentsPageNestsTheLevelsAndEscapesTitles) {
    EXPECT_TRUE(shell::HelpBook::load(QString()).isEmpty());
    QTemporaryDir dir;
    writeFile(dir.filePath("contents.txt"), "A <b> | a.html\n  B | b.html\nC | c.html\n");
    const shell::HelpBook book = shell::HelpBook::load(dir.path());
    ASSERT_EQ(book.topics().size(), 3);
    const QString page = book.contentsPage();
    EXPECT_TRUE(page.contains("<a href=\"a.html\">A &lt;b&gt;</a>"));
    const QString compact = page.mid(page.indexOf("<ul>"));
    EXPECT_TRUE(compact.startsWith("<ul><li><a href=\"a.html\">A &lt;b&gt;</a></li><ul><li>"
                                   "<a href=\"b.html\">B</a></li></ul><li><a href=\"c.html\">"));
    EXPECT_EQ(page.count("<ul>"), page.count("</ul>"));
    EXPECT_EQ(book.defaultTopic(), "a.html");
}

TEST_F(SmallHelp, HelpContentsOpensTheDefaultTopicAndHelpTheContents) {
    shell::HelpWindow* window = help.displayTopic(&owner);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), &owner);
    EXPECT_EQ(window->currentTopic(), "first.html");
    EXPECT_TRUE(window->page()->toPlainText().contains("First"));
    ASSERT_NE(window->contentsList()->currentItem(), nullptr);
    EXPECT_EQ(window->contentsList()->currentItem()->text(0), "First steps");
    EXPECT_EQ(window->contentsList()->topLevelItemCount(), 2);
    EXPECT_EQ(window->contentsList()->topLevelItem(0)->childCount(), 1);

    // The toolbar's Help reuses the window and shows the contents.
    EXPECT_EQ(help.displayContents(&owner), window);
    EXPECT_EQ(window->currentTopic(), shell::HelpWindow::kContentsPage);
    EXPECT_TRUE(window->page()->toPlainText().contains("Details"));
}

TEST_F(SmallHelp, LinksStayInTheBookAndTheWebGoesToTheBrowser) {
    test::FakeXdgOpen browser;
    shell::HelpWindow* window = help.displayTopic(&owner);
    emit window->page()->anchorClicked(QUrl("details.html"));
    EXPECT_EQ(window->currentTopic(), "details.html");
    EXPECT_EQ(window->contentsList()->currentItem()->text(0), "Details");

    emit window->page()->anchorClicked(QUrl("contents"));
    EXPECT_EQ(window->currentTopic(), shell::HelpWindow::kContentsPage);

    // A page the contents do not list is not opened, whatever the link says.
    writeFile(dir.filePath("hidden.html"), "<html><body>hidden</body></html>");
    emit window->page()->anchorClicked(QUrl("hidden.html"));
    emit window->page()->anchorClicked(QUrl("../../etc/passwd"));
    EXPECT_EQ(window->currentTopic(), shell::HelpWindow::kContentsPage);
    EXPECT_FALSE(window->page()->toPlainText().contains("hidden"));

    emit window->page()->anchorClicked(QUrl("http://www.vexa.example/"));
    EXPECT_EQ(browser.waitForAddresses(1), QStringList{"http://www.vexa.example/"});
    EXPECT_EQ(window->currentTopic(), shell::HelpWindow::kContentsPage);
}

TEST_F(SmallHelp, AListedPageThatIsMissingSaysSo) {
    shell::HelpWindow* window = help.displayTopic(&owner);
    EXPECT_TRUE(window->showTopic("gone.html"));
    EXPECT_TRUE(window->page()->toPlainText().contains("This help page is missing"));
    EXPECT_TRUE(window->page()->toPlainText().contains("gone.html"));
}

TEST_F(SmallHelp, ShutDownClosesEveryHelpWindow) {
    QPointer<shell::HelpWindow> window = help.displayTopic(&owner);
    ASSERT_FALSE(window.isNull());
    help.closeAll();
    EXPECT_EQ(help.window(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    help.closeAll(); // nothing open: nothing happens

    // A window the user closed is gone too; the next request opens a new one.
    QPointer<shell::HelpWindow> second = help.displayContents(&owner);
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(help.window(), nullptr);
    EXPECT_NE(help.displayTopic(&owner), nullptr);
}

TEST_F(SmallHelp, EscapeAndCtrlWCloseTheWindow) {
    owner.show();
    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
        QPointer<shell::HelpWindow> window = help.displayTopic(&owner);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->page(), key.key(), key.keyboardModifiers());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull()) << QKeySequence(key).toString().toStdString();
    }
}

TEST(HelpMissingTest, AMissingHelpFolderIsExplainedInTheWindow) {
    QTemporaryDir dir;
    QWidget owner;
    shell::HelpLauncher help;
    help.setHelpFolder(dir.filePath("no-such-folder"));
    for (shell::HelpWindow* window : {help.displayTopic(&owner), help.displayContents(&owner)}) {
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->currentTopic().isEmpty());
        EXPECT_EQ(window->contentsList()->topLevelItemCount(), 0);
        const QString text = window->page()->toPlainText();
        EXPECT_TRUE(text.contains("help pages are missing"));
        EXPECT_TRUE(text.contains("no-such-folder"));
        EXPECT_FALSE(window->showTopic("welcome.html"));
    }
    help.closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ShippedHelpTest, EveryTopicExistsAndEveryLinkLeadsToATopic) {
    const shell::HelpBook book = shell::HelpBook::load(shippedHelp());
    ASSERT_GE(book.topics().size(), 15);
    EXPECT_EQ(book.defaultTopic(), "welcome.html");
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    for (const shell::HelpTopic& topic : book.topics()) {
        QFile page(book.filePath(topic.file));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << topic.file.toStdString();
        const QString html = QString::fromUtf8(page.readAll());
        EXPECT_TRUE(html.contains("<h1>" + topic.title.toHtmlEscaped() + "</h1>"))
            << topic.file.toStdString();
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (target.startsWith("http://") || target.startsWith("https://")) {
                EXPECT_TRUE(QUrl(target).host().endsWith(".example")) << target.toStdString();
                continue;
            }
            EXPECT_TRUE(target == shell::HelpWindow::kContentsPage || book.contains(target))
                << topic.file.toStdString() << " links to " << target.toStdString();
        }
    }
}

TEST(ShippedHelpTest, EveryCommandEffectAndToolIsExplained) {
    const shell::HelpBook book = shell::HelpBook::load(shippedHelp());
    QString all;
    for (const shell::HelpTopic& topic : book.topics()) {
        QFile page(book.filePath(topic.file));
        if (page.open(QIODevice::ReadOnly)) all += QString::fromUtf8(page.readAll());
    }
    const char* terms[] = {
        // toolbar and menus
        "Print Cover", "Cover Manipulator", "Report A Bug", "Visit Website", "About",
        "Select Printer", "Exit", "Help Contents", "Check For Updates",
        // the effects of the three menus and the tools
        "Blur", "Diffuse", "Sharpen", "Smooth", "Add Noise", "Contour", "Dilate", "Emboss",
        "Engrave", "Edge Detect", "Edge Enhance", "Erode", "Relief", "Black &amp; White",
        "Gray Scale", "Negative", "Contrast +", "Contrast -", "Saturation +", "Saturation -",
        "Rotate", "Mirror", "Flip", "Brightness", "Undo Last Change", "Accept", "Cancel",
        // slots, browser, scanning, updates, tray
        "Front", "Inside", "Back", "DVD", "Mini", "PSP", "DS", "SLIM", "HD", "Blu", "Vita",
        "Drives", "Directories", "Files", "Source", "Acquire", "Save", "File Saved",
        "File Not Saved", "Unable to acquire image!", "VEXA is up to date!",
        "A new version of VEXA is available!", "Unable to check for update!", "Download",
        "notification area", "vexa6.ini", "temporary printer", "Legal", "Letter"};
    for (const char* term : terms) EXPECT_TRUE(all.contains(QLatin1String(term))) << term;
}

TEST(ShippedHelpTest, EveryContentsTitleReadsInFullAtTheOpeningSize) {
    QWidget owner;
    shell::HelpWindow window(shell::HelpBook::load(shippedHelp()), &owner);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* list = window.contentsList();
    // Item views draw text inside the item's rectangle less a margin on either side.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const QFontMetrics metrics(list->font());
    int titles = 0;
    for (QTreeWidgetItemIterator it(list); *it; ++it, ++titles) {
        const QRect row = list->visualItemRect(*it);
        EXPECT_LE(row.left() + 2 * margin + metrics.horizontalAdvance((*it)->text(0)),
                  list->viewport()->width())
            << (*it)->text(0).toStdString();
        EXPECT_GE(row.width(), 2 * margin + metrics.horizontalAdvance((*it)->text(0)));
    }
    EXPECT_EQ(titles, shell::HelpBook::load(shippedHelp()).topics().size());
}

TEST(ShippedHelpTest, TheUpdateExamplesAreWhatTheCheckAnswers) {
    QFile page(shippedHelp() + "/updates.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    static const QRegularExpression row(
        QStringLiteral("<tr><td>([^<]*)</td><td><b>([^<]*)</b></td></tr>"));
    int examples = 0;
    for (auto it = row.globalMatch(QString::fromUtf8(page.readAll())); it.hasNext(); ++examples) {
        const auto match = it.next();
        EXPECT_EQ(update::noticeFor(update::compareVersions(match.captured(1))).message,
                  match.captured(2))
            << "the server names " << match.captured(1).toStdString();
    }
    EXPECT_GE(examples, 6); // both edges of "up to date", and one of each other answer
}

TEST(ShippedHelpTest, TheBuildPutsThePagesIntoTheProgramFolder) {
    const shell::HelpBook shipped = shell::HelpBook::load(shippedHelp());
    const shell::HelpBook installed =
        shell::HelpBook::load(QStringLiteral(VEXA_PROGRAM_DIR "/help"));
    ASSERT_EQ(installed.topics().size(), shipped.topics().size());
    for (const shell::HelpTopic& topic : shipped.topics())
        EXPECT_TRUE(QFile::exists(installed.filePath(topic.file))) << topic.file.toStdString();
}
