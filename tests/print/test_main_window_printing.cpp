// The main window's printing commands on the private cupsd: "Print Cover" and "&Print" open
// the print window over the window's own slots, "&Select Printer" the chooser, and the
// start-up printer is the default again once the window has closed.
#include "support/CupsTestServer.h"
#include "support/MainWindowParts.h"
#include "support/ModalDriver.h"
#include "support/PrintDialogWait.h"
#include "support/QtPrinting.h"
#include "support/SlotAccess.h"

#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "core/cups/DefaultPrinter.h"
#include "core/cups/SystemPrinters.h"
#include "core/settings/Settings.h"
#include "print/PrintDialog.h"
#include "print/PrinterChooser.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using vexa::app::MainWindow;
using vexa::print::PrintDialog;
using vexa::print::PrinterChooser;

namespace {

class MainWindowPrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        ASSERT_TRUE(folder.isValid());
        vexa::base::setProgramFolderForTesting(folder.path());
        window = std::make_unique<MainWindow>();
        window->start();
    }
    void TearDown() override {
        window.reset();
        vexa::base::setProgramFolderForTesting(QString());
    }

    PrinterChooser* chooser() { return window->findChild<PrinterChooser*>(); }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(MainWindowPrintingTest, ToolbarAndMenuOpenTheSameModalPrintWindow) {
    for (QAction* command :
         {vexa::test::toolbarAction(*window, 1), vexa::test::action(*window, "printAction")}) {
        SCOPED_TRACE(command->text().toStdString());
        QString title;
        bool modal = false;
        vexa::test::whenModal<PrintDialog>([&](PrintDialog* dialog) {
            title = dialog->windowTitle();
            modal = dialog->isModal() && dialog->parentWidget() == window.get();
            dialog->close();
        });
        command->trigger();
        EXPECT_EQ(title, "Print Covers");
        EXPECT_TRUE(modal);
    }
}

TEST_F(MainWindowPrintingTest, PrintingSendsTheSlotsPicture) {
    QImage picture(30, 30, QImage::Format_RGB32);
    picture.fill(qRgb(0, 120, 0));
    vexa::test::setSlotPicture(*window, "Image4", picture); // the DVD tab
    vexa::settings::writeSetting("Front", "0");
    vexa::settings::writeSetting("DVD", "-1");
    QString status;
    vexa::test::whenModal<PrintDialog>([&](PrintDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("printButton"), Qt::LeftButton);
        EXPECT_TRUE(vexa::test::waitUntilPrintDialogIdle(*dialog));
        status = dialog->findChild<QLabel*>("printStatus")->text();
        dialog->close();
    });
    vexa::test::toolbarAction(*window, 1)->trigger();
    EXPECT_EQ(status, "Printing Complete.");
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_EQ(server.jobFiles("alpha").size(), 1);
}

TEST_F(MainWindowPrintingTest, SelectPrinterOpensOneChooserWithoutBlocking) {
    vexa::test::action(*window, "selectPrinterAction")->trigger();
    PrinterChooser* first = chooser();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    vexa::test::action(*window, "selectPrinterAction")->trigger();
    EXPECT_EQ(window->findChildren<PrinterChooser*>().size(), 1);
}

TEST_F(MainWindowPrintingTest, TheStartUpPrinterIsTheDefaultAgainAfterExit) {
    vexa::test::action(*window, "selectPrinterAction")->trigger();
    PrinterChooser* form = chooser();
    ASSERT_NE(form, nullptr);
    auto* list = form->findChild<QListWidget*>("printerList");
    list->setCurrentItem(list->findItems("beta", Qt::MatchExactly).value(0));
    QString message;
    vexa::test::whenModal<QMessageBox>([&](QMessageBox* box) {
        message = box->text();
        box->accept();
    });
    QTest::mouseClick(form->findChild<QPushButton*>("selectButton"), Qt::LeftButton);
    EXPECT_EQ(message, "beta has successfully been set as the temporary printer.");
    EXPECT_EQ(vexa::cups::systemDefaultPrinter(), "beta");

    window->close();
    EXPECT_EQ(vexa::cups::systemDefaultPrinter(), "alpha");
}

TEST_F(MainWindowPrintingTest, ClosingDuringARunStopsItBeforeTheStartUpPrinterComesBack) {
    ASSERT_TRUE(vexa::cups::DefaultPrinter().makeDefault("beta"));
    // Large covers, so that the run is still going when the window closes.
    for (const char* slot : {"Image1", "Image2", "Image3"}) {
        QImage picture(3000, 2000, QImage::Format_RGB32);
        picture.fill(qRgb(0, 120, 0));
        vexa::test::setSlotPicture(*window, slot, picture);
    }
    for (const char* key : {"Front", "Inside", "Back"}) vexa::settings::writeSetting(key, "-1");
    bool running = false;
    vexa::test::whenModal<PrintDialog>([&](PrintDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("printButton"), Qt::LeftButton);
        running = dialog->isPrinting();
        window->close();
        // What the program's quit does to the window's modal loop (without a running
        // application loop, quit() does nothing here).
        dialog->reject();
    });
    vexa::test::toolbarAction(*window, 1)->trigger();
    EXPECT_TRUE(running);
    EXPECT_EQ(vexa::cups::systemDefaultPrinter(), "alpha");
    // The run stopped after the cover being sent, on the temporary printer; nothing went to
    // the start-up printer once it was back.
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_LE(server.jobFiles("beta").size(), 1);
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
}
