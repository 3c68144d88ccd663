// The main window's set of covers as a document: the title's modified mark, the question
// before unsaved changes are replaced or closed, Undo and Redo, project files opened from
// drops and handed files, Open Recent, and the recovery copy offered at the next start.
#include "app/MainWindow.h"
#include "app/ProjectCommands.h"
#include "app/ProjectPrompts.h"
#include "app/RecentProjects.h"
#include "core/base/ProgramFolder.h"
#include "core/project/ProjectOpen.h"
#include "core/project/ProjectSave.h"
#include "core/settings/ProfileFile.h"
#include "notify/MessageNoticeWindow.h"
#include "support/MainWindowParts.h"
#include "support/ProjectFixtures.h"
#include "support/ScopedEnvironment.h"
#include "support/SlotAccess.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

using namespace vexa;
using app::UnsavedAnswer;

namespace {

constexpr int kWait = 20000;
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kGreen = qRgb(0, 255, 0);

// Answers as the test says and notes what was asked.
struct FakePrompts final : app::ProjectPrompts {
    UnsavedAnswer answer = UnsavedAnswer::Cancel;
    std::optional<QString> openName;
    std::optional<QString> saveName;
    bool restore = true;
    QStringList saveQuestions; // the names asked about
    QStringList restoreQuestions;
    QStringList failures;

    UnsavedAnswer askToSave(const QString& name) override {
        saveQuestions << name;
        return answer;
    }
    std::optional<QString> openFileName(const QString&) override { return openName; }
    std::optional<QString> saveFileName(const QString&) override { return saveName; }
    bool restoreCovers(const QString& question) override {
        restoreQuestions << question;
        return restore;
    }
    void tellFailure(const QString& sentence) override { failures << sentence; }
};

class ProjectWindowTest : public ::testing::Test {
protected:
    QTemporaryDir programDir;
    QTemporaryDir files;
    QTemporaryDir stateDir; // recovery copies of this test alone
    std::unique_ptr<test::ScopedEnvironment> state;
    FakePrompts* prompts = nullptr;

    void SetUp() override {
        ASSERT_TRUE(programDir.isValid() && files.isValid() && stateDir.isValid());
        base::setProgramFolderForTesting(programDir.path());
        state = std::make_unique<test::ScopedEnvironment>("XDG_STATE_HOME",
                                                          QFile::encodeName(stateDir.path()));
        ASSERT_TRUE(test::solidImage(40, 30, kRed).save(file("red.png")));
        ASSERT_TRUE(test::solidImage(40, 30, kBlue).save(file("blue.png")));
        // A project of its own: a green Front, chosen, on A4 with marks, packed, two copies.
        project::Project green;
        green.covers[cover::CoverKind::Front] = test::pictureFile(
            files.path(), "green.png", test::encodeWithQt(test::solidImage(20, 20, kGreen), "png"));
        green.print.chosen = cover::CoverKind::Front;
        green.print.paper = cover::PaperChoice::A4;
        green.print.trim.marks = true;
        green.print.sheets = {cover::SheetLayout::AsManyAsFit, 2};
        project::EncodedPictures encoded;
        ASSERT_EQ(
            project::saveProject(base::FilePath::fromText(file("green.vexa")), green, encoded), "");
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        base::setProgramFolderForTesting(QString());
    }

    QString file(const QString& name) const { return files.filePath(name); }

    std::unique_ptr<app::MainWindow> openWindow() {
        auto window = std::make_unique<app::MainWindow>();
        auto fake = std::make_unique<FakePrompts>();
        prompts = fake.get();
        commands(*window).setPrompts(std::move(fake));
        window->start();
        return window;
    }
    static app::ProjectCommands& commands(app::MainWindow& window) {
        return *window.findChild<app::ProjectCommands*>();
    }
    // Picture loading and project reading and writing run on workers.
    static void waitIdle(app::MainWindow& window) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !test::pictureLoader(window)->isBusy() && !commands(window).isBusy(); },
            kWait));
    }
    static void put(app::MainWindow& window, const QString& path) {
        test::coverTabs(window)->setCurrentIndex(0);
        window.openFiles({path});
        waitIdle(window);
    }
    static void trigger(app::MainWindow& window, const char* action) {
        test::action(window, action)->trigger();
        waitIdle(window);
    }
    static QRgb front(app::MainWindow& window) {
        const QImage picture = test::slotPicture(window, "Image1");
        return picture.isNull() ? 0 : picture.pixel(0, 0);
    }
    QRgb frontInFile(const QString& name) const {
        const project::OpenedProject opened = project::openProject(base::FilePath::fromText(name));
        return opened.project ? opened.project->covers[cover::CoverKind::Front].pixels.pixel(0, 0)
                              : 0;
    }
};

TEST_F(ProjectWindowTest, TitleNamesTheProjectAndMarksUnsavedChanges) {
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), "VEXA 6[*]");
    EXPECT_FALSE(window->isWindowModified());
    put(*window, file("red.png"));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->windowHandle()->title(), "VEXA 6*");

    // Save of a set never saved asks for the name first.
    prompts->saveName = file("covers.vexa");
    trigger(*window, "saveProjectAction");
    EXPECT_EQ(window->windowTitle(), "covers.vexa[*] - VEXA 6");
    EXPECT_EQ(window->windowHandle()->title(), "covers.vexa - VEXA 6");
    EXPECT_EQ(frontInFile(file("covers.vexa")), kRed);
    // Undo back past the save is a change again; Redo to it is none.
    trigger(*window, "undoCoversAction");
    EXPECT_TRUE(window->isWindowModified());
    trigger(*window, "redoCoversAction");
    EXPECT_FALSE(window->isWindowModified());
}

// New, Open and Exit with unsaved changes: Save writes the file and goes on, Discard goes on,
// Cancel leaves everything as it was.
TEST_F(ProjectWindowTest, UnsavedChangesAreAskedAboutBeforeNewOpenAndExit) {
    enum class Command { New, Open, Exit };
    const struct {
        Command command;
        UnsavedAnswer answer;
    } cases[] = {{Command::New, UnsavedAnswer::Save},     {Command::New, UnsavedAnswer::Discard},
                 {Command::New, UnsavedAnswer::Cancel},   {Command::Open, UnsavedAnswer::Save},
                 {Command::Open, UnsavedAnswer::Discard}, {Command::Open, UnsavedAnswer::Cancel},
                 {Command::Exit, UnsavedAnswer::Save},    {Command::Exit, UnsavedAnswer::Discard},
                 {Command::Exit, UnsavedAnswer::Cancel}};
    for (const auto& c : cases) {
        const std::string label =
            std::to_string(int(c.command)) + "/" + std::to_string(int(c.answer));
        auto window = openWindow();
        put(*window, file("red.png"));
        prompts->saveName = file("mine.vexa");
        trigger(*window, "saveProjectAction");
        put(*window, file("blue.png")); // unsaved
        ASSERT_TRUE(window->isWindowModified()) << label;

        prompts->answer = c.answer;
        prompts->openName = file("green.vexa");
        trigger(*window, c.command == Command::New    ? "newProjectAction"
                         : c.command == Command::Open ? "openProjectAction"
                                                      : "exitAction");
        QCoreApplication::sendPostedEvents(); // closing goes on once the question is settled
        waitIdle(*window);
        EXPECT_EQ(prompts->saveQuestions, QStringList{"mine.vexa"}) << label;
        EXPECT_EQ(frontInFile(file("mine.vexa")), c.answer == UnsavedAnswer::Save ? kBlue : kRed)
            << label;
        if (c.answer == UnsavedAnswer::Cancel) {
            EXPECT_EQ(front(*window), kBlue) << label;
            EXPECT_TRUE(window->isWindowModified()) << label;
            EXPECT_TRUE(window->isVisible()) << label;
            continue;
        }
        EXPECT_EQ(window->isWindowModified(),
                  c.command == Command::Exit && c.answer == UnsavedAnswer::Discard)
            << label;
        switch (c.command) {
        case Command::New:
            EXPECT_EQ(front(*window), 0u) << label;
            EXPECT_EQ(window->windowTitle(), "VEXA 6[*]") << label;
            break;
        case Command::Open:
            EXPECT_EQ(front(*window), kGreen) << label;
            EXPECT_EQ(window->windowTitle(), "green.vexa[*] - VEXA 6") << label;
            break;
        case Command::Exit:
            EXPECT_FALSE(window->isVisible()) << label;
            break;
        }
    }
}

TEST_F(ProjectWindowTest, UndoAndRedoCrossPutRemoveAndAccept) {
    auto window = openWindow();
    QAction* undo = test::action(*window, "undoCoversAction");
    QAction* redo = test::action(*window, "redoCoversAction");
    EXPECT_FALSE(undo->isEnabled());
    put(*window, file("red.png"));
    put(*window, file("blue.png"));
    // The Cover Manipulator's Accept reaches the window through its host interface.
    widgets::CoverHost& host = *window;
    host.acceptEdit(
        cover::CoverKind::Front,
        host.covers().picture(cover::CoverKind::Front).edited(test::solidImage(40, 30, kGreen)),
        host.covers().framing(cover::CoverKind::Front));
    test::coverTabs(*window)->setCurrentIndex(0);
    trigger(*window, "removePictureAction");
    EXPECT_EQ(front(*window), 0u);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    const QRgb back[] = {kGreen, kBlue, kRed, 0};
    for (QRgb expected : back) {
        trigger(*window, "undoCoversAction");
        EXPECT_EQ(front(*window), expected);
    }
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(window->isWindowModified());
    const QRgb forth[] = {kRed, kBlue, kGreen, 0};
    for (QRgb expected : forth) {
        trigger(*window, "redoCoversAction");
        EXPECT_EQ(front(*window), expected);
    }
    EXPECT_FALSE(redo->isEnabled());
    // The edited picture keeps the file it came from.
    trigger(*window, "undoCoversAction");
    EXPECT_EQ(window->covers().picture(cover::CoverKind::Front).origin.path.text(),
              file("blue.png"));
}

// A project among files dropped or handed over (the command line, a second start) opens as
// the whole set, after the question; the other files are left out with a notice. Opening
// makes the project's print choices Print Covers' own.
TEST_F(ProjectWindowTest, ProjectFilesOpenFromDropsAndHandedFiles) {
    auto window = openWindow();
    put(*window, file("red.png"));
    prompts->answer = UnsavedAnswer::Discard;
    window->openFiles({file("blue.png"), file("green.vexa")});
    waitIdle(*window);
    EXPECT_EQ(prompts->saveQuestions, QStringList{""});
    EXPECT_EQ(front(*window), kGreen);
    const settings::ProfileFile ini(programDir.filePath("vexa6.ini"));
    EXPECT_EQ(ini.read("PRINT", "Paper"), "A4");
    EXPECT_EQ(ini.read("PRINT", "Marks"), "1");
    EXPECT_EQ(ini.read("PRINT", "Sheets"), "AsManyAsFit");
    EXPECT_EQ(ini.read("PRINT", "Copies"), "2");
    EXPECT_EQ(ini.read("MAIN", "Front"), "-1");
    EXPECT_EQ(ini.read("MAIN", "DVD"), "0");
    QPointer<notify::MessageNoticeWindow> notice;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<notify::MessageNoticeWindow*>(widget)) notice = popup;
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->messageLabel()->text(), "1 file was left out: a project opens on its own.");
    notice->button(notify::PopupButton::Ok)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, kWait));

    // Dropped onto a slot and onto the window beside the slots.
    for (QWidget* target : {static_cast<QWidget*>(test::slotHolder(*window, 3)),
                            static_cast<QWidget*>(window.get())}) {
        trigger(*window, "newProjectAction");
        ASSERT_EQ(front(*window), 0u);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file("green.vexa"))});
        const QPoint centre = target->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        waitIdle(*window);
        EXPECT_EQ(front(*window), kGreen);
    }
    // A damaged file is named and the set stays.
    test::writeFileBytes(file("cut.vexa"), "PK\x03\x04 cut");
    window->openFiles({file("cut.vexa")});
    waitIdle(*window);
    EXPECT_EQ(front(*window), kGreen);
    ASSERT_EQ(prompts->failures.size(), 1);
    EXPECT_TRUE(prompts->failures[0].startsWith("'cut.vexa' cannot be opened"))
        << prompts->failures[0].toStdString();
}

TEST_F(ProjectWindowTest, OpenRecentListsTheLastTenNewestFirstAndGreysMissingOnes) {
    QStringList twelve;
    for (int i = 1; i <= 12; ++i) twelve << QString("/p/%1.vexa").arg(i);
    QStringList kept;
    for (const QString& path : twelve) kept = app::withNewest(kept, path);
    EXPECT_EQ(kept.size(), 10);
    EXPECT_EQ(kept.first(), "/p/12.vexa");
    EXPECT_EQ(kept.last(), "/p/3.vexa");
    EXPECT_EQ(app::withNewest(kept, "/p/5.vexa").mid(0, 2),
              QStringList({"/p/5.vexa", "/p/12.vexa"}));
    EXPECT_EQ(app::withNewest(kept, "/p/5.vexa").size(), 10);

    auto window = openWindow();
    app::rememberRecentProject(file("gone.vexa"));
    prompts->answer = UnsavedAnswer::Discard;
    window->openFiles({file("green.vexa")});
    waitIdle(*window);
    QMenu* recent = test::menu(*window, "recentMenu");
    emit recent->aboutToShow();
    const QList<QAction*> items = recent->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "&1 green.vexa");
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_EQ(items[1]->text(), "&2 gone.vexa");
    EXPECT_FALSE(items[1]->isEnabled());
    trigger(*window, "newProjectAction");
    items[0]->trigger();
    waitIdle(*window);
    EXPECT_EQ(front(*window), kGreen);
}

// A VEXA that ends without closing (a kill, a crash) leaves its recovery copy; the next start
// offers it, and a normal exit removes it.
TEST_F(ProjectWindowTest, TheCoversOfAVexaThatDidNotCloseNormallyAreOffered) {
    const QString folder = stateDir.filePath("vexa");
    {
        auto window = openWindow();
        put(*window, file("red.png"));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return QFile::exists(folder + "/recovery-1.vexa"); }, kWait));
    } // gone without closing
    auto window = openWindow();
    ASSERT_EQ(prompts->restoreQuestions.size(), 1);
    EXPECT_TRUE(QRegularExpression("^VEXA did not close normally\\. Restore the covers of "
                                   "\\d\\d:\\d\\d\\?$")
                    .match(prompts->restoreQuestions[0])
                    .hasMatch())
        << prompts->restoreQuestions[0].toStdString();
    waitIdle(*window);
    EXPECT_EQ(front(*window), kRed);
    EXPECT_TRUE(window->isWindowModified());

    prompts->answer = UnsavedAnswer::Discard;
    trigger(*window, "exitAction");
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(window->isVisible());
    window.reset();
    EXPECT_TRUE(QDir(folder).entryList({"*.vexa"}).isEmpty());
    window = openWindow();
    EXPECT_TRUE(prompts->restoreQuestions.isEmpty());
}

} // namespace

// A fit chosen in a slot's menu is a change of the set: marked in the title, taken back by
// Undo, kept in the file and there again when it is opened.
TEST_F(ProjectWindowTest, AFitChosenInASlotIsAStepOfUndoAndKeptInTheFile) {
    auto window = openWindow();
    put(*window, file("red.png"));
    prompts->saveName = file("fit.vexa");
    trigger(*window, "saveProjectAction");
    ASSERT_FALSE(window->isWindowModified());
    widgets::PictureHolder* slot = test::slotHolder(*window, 1);
    ASSERT_NE(slot, nullptr);
    slot->findChild<QAction*>(QStringLiteral("fitFill"))->trigger();
    EXPECT_TRUE(window->isWindowModified());
    trigger(*window, "undoCoversAction");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->covers().framing(cover::CoverKind::Front).fit, cover::CoverFit::Stretch);
    trigger(*window, "redoCoversAction");
    trigger(*window, "saveProjectAction");

    trigger(*window, "newProjectAction");
    EXPECT_EQ(window->covers().framing(cover::CoverKind::Front).fit, cover::CoverFit::Stretch);
    window->openFiles({file("fit.vexa")});
    waitIdle(*window);
    EXPECT_EQ(front(*window), kRed);
    EXPECT_EQ(window->covers().framing(cover::CoverKind::Front).fit, cover::CoverFit::Fill);
    EXPECT_EQ(slot->framing().fit, cover::CoverFit::Fill);
    EXPECT_FALSE(window->isWindowModified());
}
