#include "scan/ScannerDialogs.h"

#include "core/base/Job.h"
#include "core/base/ProgramFolder.h"
#include "scan/AcquireDialog.h"
#include "scan/SaneBackend.h"
#include "scan/ScannerChoice.h"
#include "scan/SourceDialog.h"
#include "support/FakeXdgOpen.h"
#include "support/ModalDriver.h"
#include "support/ScanTestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLibrary>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace vexa::scan;
using vexa::test::clickScanWhenReady;
using vexa::test::isGray;
using vexa::test::whenModal;

namespace {

class ScanAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        vexa::test::resetTestScanner("test:0");
        vexa::test::resetTestScanner("test:1");
        vexa::base::setProgramFolderForTesting(folder.path()); // the remembered scanner lives here
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    QTemporaryDir folder;
    const QString transfer = folder.filePath("temp.bmp"); // where scans once went
};

TEST_F(ScanAdapter, HandsOverTheScannedPicture) {
    clickScanWhenReady();
    const AcquiredScan scan = acquirePicture(nullptr);
    ASSERT_EQ(scan.status, AcquiredScan::Status::Scanned);
    EXPECT_FALSE(QFile::exists(transfer)); // nothing goes through a file
    const QImage& picture = scan.picture;
    EXPECT_NEAR(picture.width(), 40 / 25.4 * 50, 1.0);
    EXPECT_NEAR(picture.height(), 30 / 25.4 * 50, 1.0);
    EXPECT_FALSE(isGray(picture));
}

TEST_F(ScanAdapter, OffersTheDevicesChoicesAndPrefers300Dpi) {
    whenModal<AcquireDialog>([](AcquireDialog* d) { return d->scanButton()->isEnabled(); },
                             [](AcquireDialog* d) {
                                 EXPECT_EQ(d->resolutionBox()->currentData(), 300);
                                 EXPECT_EQ(d->resolutionBox()->findText("1200 dpi"),
                                           d->resolutionBox()->count() - 1);
                                 EXPECT_TRUE(d->colourButton()->isChecked());
                                 EXPECT_TRUE(d->grayButton()->isEnabled());
                                 d->cancelButton()->click();
                             });
    EXPECT_EQ(acquirePicture(nullptr).status, AcquiredScan::Status::Cancelled);
    EXPECT_FALSE(QFile::exists(transfer));
}

TEST_F(ScanAdapter, CancelDuringTheScanWritesNothing) {
    vexa::test::resetTestScanner("test:0", {{"read-limit", true}, {"read-limit-size", 1}});
    whenModal<AcquireDialog>([](AcquireDialog* d) { return d->scanButton()->isEnabled(); },
                             [](AcquireDialog* d) {
                                 d->scanButton()->click();
                                 EXPECT_TRUE(d->isBusy());
                                 d->cancelButton()->click(); // stops at the next read
                             });
    EXPECT_EQ(acquirePicture(nullptr).status, AcquiredScan::Status::Cancelled);
    EXPECT_FALSE(QFile::exists(transfer));
}

TEST_F(ScanAdapter, ADeviceErrorIsShownAndTheUserMayGiveUp) {
    vexa::test::resetTestScanner("test:0", {{"read-return-value", "SANE_STATUS_JAMMED"}});
    clickScanWhenReady();
    // After the failure the dialog stays, says why and offers Scan again.
    whenModal<AcquireDialog>(
        [](AcquireDialog* d) { return !d->isBusy() && d->scanButton()->isEnabled(); },
        [](AcquireDialog* d) {
            EXPECT_TRUE(d->statusLabel()->text().contains("jammed", Qt::CaseInsensitive))
                << d->statusLabel()->text().toStdString();
            d->cancelButton()->click();
        });
    EXPECT_EQ(acquirePicture(nullptr).status, AcquiredScan::Status::Cancelled);
    EXPECT_FALSE(QFile::exists(transfer));
}

TEST_F(ScanAdapter, ChoosingASourceIsRememberedAndUsed) {
    whenModal<SourceDialog>([](SourceDialog* d) { return !d->isSearching(); },
                            [](SourceDialog* d) {
                                QTreeWidget* list = d->deviceList();
                                ASSERT_EQ(list->topLevelItemCount(), 2);
                                EXPECT_EQ(list->currentItem()->text(2), "test:0");
                                EXPECT_FALSE(list->topLevelItem(1)->text(0).isEmpty());
                                EXPECT_FALSE(list->topLevelItem(1)->text(1).isEmpty());
                                list->setCurrentItem(list->topLevelItem(1));
                                d->findChild<QPushButton*>("select")->click();
                            });
    EXPECT_EQ(chooseScanner(nullptr), 0);
    EXPECT_EQ(rememberedScanner(), "test:1");

    // Shown again, the list starts at the chosen scanner; cancelling keeps it.
    whenModal<SourceDialog>([](SourceDialog* d) { return !d->isSearching(); },
                            [](SourceDialog* d) {
                                EXPECT_EQ(d->deviceList()->currentItem()->text(2), "test:1");
                                d->reject();
                            });
    EXPECT_EQ(chooseScanner(nullptr), 1);
    EXPECT_EQ(rememberedScanner(), "test:1");

    // test:1 scans solid white, test:0 would not.
    vexa::test::resetTestScanner("test:1", {{"test-picture", "Solid white"}});
    clickScanWhenReady();
    const AcquiredScan scan = acquirePicture(nullptr);
    ASSERT_EQ(scan.status, AcquiredScan::Status::Scanned);
    EXPECT_EQ(scan.picture.pixel(5, 5), qRgb(255, 255, 255));
}

TEST_F(ScanAdapter, ARememberedScannerThatIsGoneFailsWithoutAsking) {
    rememberScanner("test:9");
    EXPECT_EQ(acquirePicture(nullptr).status, AcquiredScan::Status::NoScanner);
    EXPECT_FALSE(QFile::exists(transfer));
}

TEST_F(ScanAdapter, WithoutTheLibraryThereIsNoScanner) {
    SaneBackend missing("libvexa-no-such-sane.so.1");
    AcquireDialog dialog(missing, QString(), nullptr);
    dialog.exec(); // closes itself once it finds nothing
    EXPECT_EQ(dialog.outcome(), AcquireDialog::Outcome::NoScanner);

    whenModal<SourceDialog>([](SourceDialog* d) { return !d->isSearching(); },
                            [](SourceDialog* d) {
                                EXPECT_EQ(d->deviceList()->topLevelItemCount(), 0);
                                EXPECT_FALSE(d->findChild<QPushButton*>("select")->isEnabled());
                                EXPECT_TRUE(
                                    d->findChild<QLabel*>("status")->text().contains("No scanner"));
                                d->reject();
                            });
    SourceDialog sources(missing, QString(), nullptr);
    EXPECT_EQ(sources.exec(), QDialog::Rejected);
}

} // namespace

// SANE cannot interrupt a device search: closing the source list while one runs leaves it to
// end alone rather than waiting on the window's thread, and SANE is ended only once nothing is
// inside it any more.
TEST(SourceSearch, ClosingTheListAbandonsTheSearchAndSaneEndsOnlyOnceItIsOut) {
    QLibrary held(QStringLiteral(VEXA_HELD_SANE_PATH));
    ASSERT_TRUE(held.load()) << held.errorString().toStdString();
    const auto hold = reinterpret_cast<void (*)()>(held.resolve("held_sane_hold"));
    const auto release = reinterpret_cast<void (*)()>(held.resolve("held_sane_release"));
    const auto inside = reinterpret_cast<bool (*)()>(held.resolve("held_sane_inside"));
    ASSERT_TRUE(hold && release && inside);
    hold();
    // Never destroyed, as the program's own backend: the abandoned search still uses it. Held
    // by a static, so the leak checker sees it is still reachable.
    static SaneBackend* const backend = new SaneBackend(QStringLiteral(VEXA_HELD_SANE_PATH));
    ASSERT_TRUE(backend->isReady()) << backend->failure().toStdString();
    {
        SourceDialog dialog(*backend, QString(), nullptr);
        dialog.show();
        ASSERT_TRUE(vexa::test::waitUntil([&] { return inside(); }));
        EXPECT_TRUE(dialog.isSearching());
        dialog.reject();
    }
    EXPECT_TRUE(inside()); // the window is gone, the search goes on
    EXPECT_FALSE(backend->shutDown());
    release();
    EXPECT_TRUE(vexa::base::Job::waitForAbandonedWork(60000));
    EXPECT_FALSE(inside());
    EXPECT_TRUE(backend->shutDown());
}
