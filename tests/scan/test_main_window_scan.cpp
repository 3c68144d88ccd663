// The Scan tab's buttons on the main window: wired to the scanner, the save dialog and the
// picture writer the window creates when it loads.
#include "app/MainWindow.h"
#include "core/base/ProgramFolder.h"
#include "scan/AcquireDialog.h"
#include "scan/SourceDialog.h"
#include "support/MainWindowParts.h"
#include "support/ModalDriver.h"
#include "support/ScanTestSupport.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using vexa::scan::AcquireDialog;
using vexa::test::whenModal;

namespace {

class MainWindowScan : public ::testing::Test {
protected:
    void SetUp() override {
        vexa::test::resetTestScanner("test:0");
        vexa::base::setProgramFolderForTesting(programDir.path());
        window.start();
    }
    void TearDown() override {
        window.close();
        vexa::base::setProgramFolderForTesting(QString());
    }

    QTemporaryDir programDir;
    QTemporaryDir saveDir;
    vexa::app::MainWindow window;
};

TEST_F(MainWindowScan, AcquireScansIntoTheScanTabAndSaveWritesIt) {
    whenModal<AcquireDialog>([](AcquireDialog* d) { return d->scanButton()->isEnabled(); },
                             [this](AcquireDialog* d) {
                                 EXPECT_EQ(d->parentWidget(), &window);
                                 d->resolutionBox()->setCurrentIndex(
                                     d->resolutionBox()->findData(50));
                                 d->scanButton()->click();
                             });
    const QImage before = vexa::test::patternImage(30, 20);
    vexa::test::scanHolder(window)->setPicture(before);
    vexa::test::button(window, "acquireButton")->click();
    const QImage scanned = vexa::test::scanHolder(window)->picture();
    EXPECT_NE(scanned, before);
    EXPECT_NEAR(scanned.width(), 40 / 25.4 * 50, 1.0);
    EXPECT_FALSE(QFile::exists(programDir.filePath("temp.bmp")));

    const QString name = saveDir.filePath("scan.gif");
    whenModal<QFileDialog>([&name](QFileDialog* dialog) {
        dialog->selectFile(name);
        static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
    });
    QString shown;
    whenModal<QMessageBox>([&shown](QMessageBox* box) {
        shown = box->text() + " / " + box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    vexa::test::button(window, "saveScanButton")->click();
    EXPECT_EQ(shown, "File Saved / Successfully saved file.");
    QImageReader reader(name);
    reader.setDecideFormatFromContent(true);
    EXPECT_EQ(reader.format(), "gif");
    EXPECT_EQ(reader.size(), scanned.size());
}

} // namespace
