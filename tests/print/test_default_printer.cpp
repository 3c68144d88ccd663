// The temporary default printer on a private cupsd: the per-user default destination that
// DefaultPrinter writes, what defaultPrinterName reads, the chooser window, and the
// start-up printer put back at exit.
#include "support/CupsTestServer.h"
#include "support/FakeCoverHost.h"
#include "support/PrintDialogWait.h"
#include "support/QtPrinting.h"

#include "core/base/ProgramFolder.h"
#include "core/cups/DefaultPrinter.h"
#include "core/cups/StartupPrinter.h"
#include "core/cups/SystemPrinters.h"
#include "core/settings/Settings.h"
#include "print/PrintDialog.h"
#include "print/PrinterChooser.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::print;

namespace {

class DefaultPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
    }
    void TearDown() override {
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
    }

    QString savedOptions() {
        QFile file(server.userOptionsFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
};

struct Message {
    QMessageBox::Icon icon;
    QString text;
};

// A chooser whose messages are collected instead of shown.
struct Chooser {
    Chooser() {
        window.setMessageSink([this](QMessageBox::Icon icon, const QString& text) {
            messages.push_back({icon, text});
        });
        window.show();
    }
    QListWidget* list() { return window.findChild<QListWidget*>("printerList"); }
    void choose(const QString& name) {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list()->setCurrentItem(items.front());
    }
    void press(const char* button) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }

    PrinterChooser window;
    std::vector<Message> messages;
};

} // namespace

TEST_F(DefaultPrinterTest, FindDefaultPrinterFollowsTheServerThenTheUser) {
    EXPECT_EQ(cups::defaultPrinterName(), "alpha");
    ASSERT_TRUE(cups::saveUserDefaultPrinter("beta"));
    EXPECT_EQ(cups::defaultPrinterName(), "beta");
}

TEST_F(DefaultPrinterTest, ASavedDefaultThatWasRemovedMeansNoDefault) {
    ASSERT_TRUE(cups::saveUserDefaultPrinter("beta"));
    QString error;
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    EXPECT_TRUE(cups::defaultPrinterName().isEmpty());
}

TEST_F(DefaultPrinterTest, NoPrinterNoDefault) {
    QString error;
    ASSERT_TRUE(server.deletePrinter("alpha", &error)) << error.toStdString();
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    EXPECT_TRUE(cups::defaultPrinterName().isEmpty());
    EXPECT_TRUE(cups::installedPrinters().isEmpty());
    // Nothing to restore, and nothing fails.
    EXPECT_TRUE(cups::restoreStartupPrinter(cups::rememberStartupPrinter()));
}

TEST_F(DefaultPrinterTest, SetPrinterAsDefaultWritesTheUsersDefault) {
    cups::DefaultPrinter setter;
    EXPECT_EQ(setter.initialDeviceName(), "alpha");
    EXPECT_TRUE(setter.makeDefault("beta"));
    EXPECT_EQ(setter.currentDefault(), "beta");
    EXPECT_EQ(cups::systemDefaultPrinter(), "beta");
    EXPECT_TRUE(savedOptions().contains("Default beta"));
    // A new instance starts from what is the default now.
    EXPECT_EQ(cups::DefaultPrinter().initialDeviceName(), "beta");
}

TEST_F(DefaultPrinterTest, TheDefaultAgainIsSuccessWithoutWriting) {
    cups::DefaultPrinter setter;
    EXPECT_TRUE(setter.makeDefault("alpha"));
    EXPECT_FALSE(QFile::exists(server.userOptionsFile()));
}

TEST_F(DefaultPrinterTest, UnknownOrEmptyNamesAreRefused) {
    cups::DefaultPrinter setter;
    EXPECT_FALSE(setter.makeDefault("gamma"));
    EXPECT_FALSE(setter.makeDefault("Beta")); // names are case-sensitive
    EXPECT_FALSE(setter.makeDefault(""));
    EXPECT_EQ(cups::systemDefaultPrinter(), "alpha");
    EXPECT_EQ(setter.currentDefault(), "alpha");
    EXPECT_FALSE(QFile::exists(server.userOptionsFile()));
}

TEST_F(DefaultPrinterTest, AnEnvironmentOverrideIsReportedAsFailure) {
    for (const char* variable : {"PRINTER", "LPDEST"}) {
        SCOPED_TRACE(variable);
        qputenv(variable, "alpha");
        cups::DefaultPrinter setter;
        EXPECT_FALSE(setter.makeDefault("beta"));
        EXPECT_EQ(cups::systemDefaultPrinter(), "alpha");
        EXPECT_FALSE(QFile::exists(server.userOptionsFile()));
        // The printer the variable names is the default already.
        EXPECT_TRUE(setter.makeDefault("alpha"));
        qunsetenv(variable);
    }
}

TEST_F(DefaultPrinterTest, ARememberedDefaultChangedElsewhereIsWrittenAgain) {
    cups::DefaultPrinter setter; // finds alpha
    ASSERT_TRUE(cups::saveUserDefaultPrinter("beta"));
    EXPECT_TRUE(setter.makeDefault("alpha"));
    EXPECT_EQ(cups::systemDefaultPrinter(), "alpha");
}

TEST_F(DefaultPrinterTest, ChooserListsThePrintersAndItsTexts) {
    Chooser chooser;
    EXPECT_EQ(chooser.window.windowTitle(), "Set Temporary Printer");
    EXPECT_FALSE(chooser.window.isModal());
    EXPECT_EQ(chooser.window.findChild<QLabel*>("printerPrompt")->text(), "Select a printer:");
    EXPECT_EQ(chooser.window.findChild<QPushButton*>("selectButton")->text(), "&Select");
    EXPECT_EQ(chooser.window.findChild<QPushButton*>("cancelButton")->text(), "&Cancel");
    QStringList rows;
    for (int i = 0; i < chooser.list()->count(); ++i) rows << chooser.list()->item(i)->text();
    EXPECT_EQ(rows, QStringList({"alpha", "beta"}));
}

TEST_F(DefaultPrinterTest, ChooserWithoutASelectionAsksForOne) {
    Chooser chooser;
    chooser.press("selectButton");
    ASSERT_EQ(chooser.messages.size(), 1u);
    EXPECT_EQ(chooser.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(chooser.messages[0].text, "Please select a printer from the list.");
    EXPECT_TRUE(chooser.window.isVisible());
    EXPECT_FALSE(QFile::exists(server.userOptionsFile()));
}

TEST_F(DefaultPrinterTest, ChooserMarksTheDefaultAndAnswersEnterAndEscape) {
    {
        Chooser chooser;
        const QListWidgetItem* alpha = chooser.list()->item(0);
        EXPECT_TRUE(alpha->font().bold());
        EXPECT_EQ(alpha->data(Qt::AccessibleTextRole).toString(), "alpha, the default printer");
        EXPECT_FALSE(chooser.list()->item(1)->font().bold());

        chooser.choose("beta");
        chooser.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser.window));
        QTest::keyClick(chooser.list(), Qt::Key_Return);
        ASSERT_EQ(chooser.messages.size(), 1u);
        EXPECT_EQ(chooser.messages[0].text,
                  "beta has successfully been set as the temporary printer.");
        EXPECT_FALSE(chooser.window.isVisible());
    }
    Chooser chooser;
    EXPECT_TRUE(chooser.list()->item(1)->font().bold()); // beta is the default now
    chooser.choose("alpha");
    chooser.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser.window));
    QTest::keyClick(chooser.list(), Qt::Key_Escape);
    EXPECT_FALSE(chooser.window.isVisible());
    EXPECT_TRUE(chooser.messages.empty());
    EXPECT_EQ(cups::systemDefaultPrinter(), "beta");
}

TEST_F(DefaultPrinterTest, ChooserWithNoPrinterSaysWhy) {
    QString error;
    ASSERT_TRUE(server.deletePrinter("alpha", &error)) << error.toStdString();
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    std::vector<Message> said;
    {
        Chooser chooser;
        EXPECT_EQ(cups::listPrinters().status, cups::PrinterListing::Status::NoPrinter);
        chooser.press("selectButton");
        said = chooser.messages;
    }
    server.halt();
    {
        Chooser chooser;
        EXPECT_EQ(cups::listPrinters().status, cups::PrinterListing::Status::ServerUnreachable);
        chooser.press("selectButton");
        said.insert(said.end(), chooser.messages.begin(), chooser.messages.end());
    }
    ASSERT_TRUE(server.resume(&error)) << error.toStdString();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0].text,
              "No printer was found. Add a printer in your system's printer settings.");
    EXPECT_EQ(said[1].text, "The print server cannot be reached. Check that CUPS is running.");
}

TEST_F(DefaultPrinterTest, ChooserSetsTheTemporaryPrinterAndCloses) {
    Chooser chooser;
    chooser.choose("beta");
    chooser.press("selectButton");
    ASSERT_EQ(chooser.messages.size(), 1u);
    EXPECT_EQ(chooser.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(chooser.messages[0].text, "beta has successfully been set as the temporary printer.");
    EXPECT_FALSE(chooser.window.isVisible());
    EXPECT_EQ(cups::systemDefaultPrinter(), "beta");
}

TEST_F(DefaultPrinterTest, ChooserReportsAPrinterThatCannotBeSetAndStaysOpen) {
    Chooser chooser;
    chooser.choose("beta");
    QString error;
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    chooser.press("selectButton");
    ASSERT_EQ(chooser.messages.size(), 1u);
    EXPECT_EQ(chooser.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(chooser.messages[0].text, "beta has failed to be set as the temporary printer.");
    EXPECT_TRUE(chooser.window.isVisible());
    EXPECT_EQ(cups::systemDefaultPrinter(), "alpha");
}

TEST_F(DefaultPrinterTest, TheTemporaryPrinterGetsTheCoversAndTheStartUpOneComesBackAtExit) {
    const cups::SavedUserDefault startup = cups::rememberStartupPrinter();
    ASSERT_EQ(cups::systemDefaultPrinter(), "alpha");
    {
        Chooser chooser;
        chooser.choose("beta");
        chooser.press("selectButton");
    }
    // Closing the chooser leaves the temporary printer in place.
    EXPECT_EQ(cups::systemDefaultPrinter(), "beta");

    QTemporaryDir folder;
    vexa::base::setProgramFolderForTesting(folder.path());
    vexa::settings::writeSetting("Front", "-1");
    vexa::test::FakeCoverHost host;
    host.putPicture("Image1", QImage(20, 20, QImage::Format_RGB32));
    {
        PrintDialog dialog(host.covers());
        QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
        ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
    }
    vexa::base::setProgramFolderForTesting(QString());
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_EQ(server.jobFiles("beta").size(), 1);
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());

    EXPECT_TRUE(cups::restoreStartupPrinter(startup));
    EXPECT_EQ(cups::systemDefaultPrinter(), "alpha");
    EXPECT_EQ(cups::defaultPrinterName(), "alpha");
}
