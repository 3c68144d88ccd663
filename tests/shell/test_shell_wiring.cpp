// The main window's shell commands: toolbar buttons and menu items reach the right action,
// help opens at start-up's folder and closes at shut-down, the update check ends in its popup.
#include "about/AboutWindow.h"
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "notify/UpdateNoticeWindow.h"
#include "shell/HelpWindow.h"
#include "shell/ShellCommands.h"
#include "support/FakeXdgOpen.h"
#include "support/MainWindowParts.h"
#include "support/UpdateTestServer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QNetworkProxy>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

template <typename Window> QList<Window*> openWindows() {
    QList<Window*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            found.append(window);
    return found;
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ShellWiring : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(programDir.isValid());
        base::setProgramFolderForTesting(programDir.path());
        window = std::make_unique<app::MainWindow>();
        vexa::test::shellCommands(*window)->setHelpFile();
    }
    void TearDown() override {
        window.reset();
        flushDeletes();
        base::setProgramFolderForTesting(QString());
    }

    QTemporaryDir programDir;
    std::unique_ptr<app::MainWindow> window;
};

} // namespace

TEST_F(ShellWiring, ReportABugAndVisitWebsiteFromToolbarAndMenu) {
    test::FakeXdgOpen desktop;
    // One at a time: the stand-in's notes would interleave otherwise.
    QStringList urls;
    for (QAction* command :
         {vexa::test::toolbarAction(*window, 3), vexa::test::action(*window, "reportBugAction"),
          vexa::test::toolbarAction(*window, 6),
          vexa::test::action(*window, "visitWebsiteAction")}) {
        command->trigger();
        urls = desktop.waitForAddresses(static_cast<int>(urls.size()) + 1);
    }
    ASSERT_EQ(urls.size(), 4);
    EXPECT_EQ(QUrl(urls[0]).scheme(), "mailto");
    EXPECT_EQ(urls[0], urls[1]);
    EXPECT_EQ(QUrl(urls[2]), QUrl("http://www.vexa.example/"));
    EXPECT_EQ(urls[2], urls[3]);
}

TEST_F(ShellWiring, HelpShowsTheContentsAndHelpContentsTheDefaultTopic) {
    // Help pages in the program folder, as the build lays them out.
    ASSERT_TRUE(QDir(programDir.path()).mkdir("help"));
    QFile contents(programDir.filePath("help/contents.txt"));
    ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
    contents.write("Welcome | welcome.html\nMore | more.html\n");
    contents.close();
    vexa::test::shellCommands(*window)->setHelpFile();

    vexa::test::toolbarAction(*window, 4)->trigger();
    shell::HelpWindow* help = vexa::test::shellCommands(*window)->help().window();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->currentTopic(), shell::HelpWindow::kContentsPage);
    vexa::test::action(*window, "helpContentsAction")->trigger();
    EXPECT_EQ(vexa::test::shellCommands(*window)->help().window(), help);
    EXPECT_EQ(help->currentTopic(), "welcome.html");
}

TEST_F(ShellWiring, ShutDownClosesTheHelpWindow) {
    vexa::test::action(*window, "helpContentsAction")->trigger();
    QPointer<shell::HelpWindow> help = vexa::test::shellCommands(*window)->help().window();
    ASSERT_FALSE(help.isNull());
    // No help folder in this program folder: the window says so instead of failing.
    EXPECT_TRUE(help->page()->toPlainText().contains("help pages are missing"));
    window->close();
    flushDeletes();
    EXPECT_TRUE(help.isNull());
}

TEST_F(ShellWiring, AboutFromToolbarAndMenuOpensOneWindowNotModal) {
    window->show();
    vexa::test::toolbarAction(*window, 5)->trigger();
    const auto first = openWindows<about::AboutWindow>();
    ASSERT_EQ(first.size(), 1);
    first.front()->hide(); // as if lost behind other windows
    vexa::test::action(*window, "aboutAction")->trigger();
    const auto abouts = openWindows<about::AboutWindow>();
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_EQ(abouts.front(), first.front());
    EXPECT_EQ(abouts.front()->parentWidget(), window.get());
    EXPECT_FALSE(abouts.front()->isModal());
    EXPECT_TRUE(window->isEnabled());
    abouts.front()->close();
    flushDeletes();
    vexa::test::toolbarAction(*window, 5)->trigger(); // once closed, the next click opens a new one
    EXPECT_EQ(openWindows<about::AboutWindow>().size(), 1);
}

TEST_F(ShellWiring, CheckForUpdatesEndsInTheUpdatePopup) {
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    test::UpdateTestServer server;
    server.serve("/vexa/vexaver.txt", "7");
    vexa::test::shellCommands(*window)->updateCheck().setVersionFile(
        server.url("/vexa/vexaver.txt"));
    window->show();

    vexa::test::action(*window, "checkForUpdatesAction")->trigger();
    vexa::test::action(*window, "checkForUpdatesAction")->trigger(); // while one runs: nothing more
    ASSERT_TRUE(
        test::waitUntil([] { return !openWindows<notify::UpdateNoticeWindow>().isEmpty(); }));
    auto popups = openWindows<notify::UpdateNoticeWindow>();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups.front()->popupKind(), "update");
    EXPECT_EQ(popups.front()->messageLabel()->text(), "A new version of VEXA is available!");
    EXPECT_EQ(popups.front()->downloadAddress(),
              QUrl("http://www.vexa.example/vexa/VEXA-Setup.exe"));
    EXPECT_FALSE(window->isEnabled()); // the popup holds the main window until answered
    popups.front()->close();
    flushDeletes();
    EXPECT_TRUE(window->isEnabled());

    server.answer("/vexa/vexaver.txt", test::UpdateTestServer::Answer{404, "7", {}});
    vexa::test::action(*window, "checkForUpdatesAction")->trigger();
    ASSERT_TRUE(
        test::waitUntil([] { return !openWindows<notify::UpdateNoticeWindow>().isEmpty(); }));
    popups = openWindows<notify::UpdateNoticeWindow>();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups.front()->popupKind(), "error");
    EXPECT_EQ(popups.front()->messageLabel()->text(), "Unable to check for update!");
    popups.front()->close();
    flushDeletes();
}
