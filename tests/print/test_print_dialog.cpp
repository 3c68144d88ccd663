#include "support/FakeCoverHost.h"
#include "support/PdfProbe.h"
#include "support/PrintDialogWait.h"
#include "support/RecordingPrinter.h"
#include "support/ScopedEnvironment.h"
#include "support/TestSupport.h"

#include "core/base/ProgramFolder.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/Settings.h"
#include "print/CoverFaces.h"
#include "print/CoverPreview.h"
#include "print/PrintDialog.h"
#include "print/SavePrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace vexa;
using namespace vexa::print;
using vexa::test::FakeCoverHost;
using vexa::test::RecordingPrinter;

namespace {

const QStringList kKeys{"Front", "Inside", "Back", "Mini", "DVD", "SLIM",
                        "HD",    "BLU",    "PSP",  "VITA", "DS"};

class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        vexa::base::setProgramFolderForTesting(folder.path());
        for (int n = 1; n <= 11; ++n)
            host.putPicture(QStringLiteral("Image%1").arg(n),
                            QImage(10 + n, 20 + n, QImage::Format_RGB32));
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    // Writes the print keys; a missing entry leaves the key out of the file.
    void writeKeys(const QHash<QString, QString>& values) {
        for (auto it = values.begin(); it != values.end(); ++it)
            ASSERT_TRUE(vexa::settings::writeSetting(it.key(), it.value()));
    }

    std::unique_ptr<PrintDialog> open() {
        auto printer = std::make_unique<RecordingPrinter>();
        recorder = printer.get();
        return std::make_unique<PrintDialog>(host.covers(), std::move(printer));
    }

    QByteArray fileBytes() {
        QFile file(vexa::settings::settingsFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    FakeCoverHost host;
    RecordingPrinter* recorder = nullptr;
};

QPushButton* button(PrintDialog& dialog, const QString& name) {
    auto* found = dialog.findChild<QPushButton*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// Clicks a button that starts a print run or an export, and waits until it has ended.
void press(PrintDialog& dialog, const QString& name) {
    QTest::mouseClick(button(dialog, name), Qt::LeftButton);
    EXPECT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog)) << name.toStdString();
}

// Presses Print, and Cancel while the first document is being sent: clicked on the window's
// thread, the run's worker waiting for the click. The window is active first: activated late (a
// busy machine), it would clear the status line under the test.
void printAndCancelDuringTheFirstDocument(PrintDialog& dialog, RecordingPrinter& recorder) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QPushButton* cancel = button(dialog, "cancelButton");
    recorder.onDocument = [cancel] {
        QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::BlockingQueuedConnection);
    };
    press(dialog, "printButton");
}

QString status(PrintDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("printStatus"))->text();
}

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// The tile of kind k (1-based, print order).
QPushButton* tile(PrintDialog& dialog, int k) {
    return button(
        dialog,
        QLatin1String(vexa::print::kCoverTiles[static_cast<std::size_t>(k - 1)].objectName));
}

// The face of tile k as drawn in one state of its checkable button.
QImage face(PrintDialog& dialog, int k, QIcon::State state) {
    QPushButton* b = tile(dialog, k);
    return rgb(b->icon().pixmap(b->iconSize(), QIcon::Normal, state).toImage());
}

// Which face tile k (1-based) shows: 1 unselected, 2 selected.
int shownFace(PrintDialog& dialog, int k) {
    return tile(dialog, k)->isChecked() ? 2 : 1;
}

// The selection as the dialog shows it: keys whose flag is -1 and whose face is selected.
// A flag and a face that disagree are reported as "<key>?".
QStringList shownSelection(PrintDialog& dialog) {
    QStringList keys;
    for (int k = 1; k <= 11; ++k) {
        const bool flag =
            dialog.selection().testFlag(vexa::cover::coverKindAt(static_cast<std::size_t>(k - 1)));
        const bool face = shownFace(dialog, k) == 2;
        if (flag && face)
            keys << kKeys[k - 1];
        else if (flag != face || shownFace(dialog, k) == 0)
            keys << kKeys[k - 1] + "?";
    }
    return keys;
}

} // namespace

TEST_F(PrintDialogTest, WindowHasItsControlsAndTexts) {
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), "Print Covers");
    EXPECT_TRUE(dialog->isModal());
    EXPECT_NE(dialog->findChild<QWidget*>("coverTiles"), nullptr);
    EXPECT_EQ(button(*dialog, "printButton")->text(), "&Print");
    EXPECT_EQ(button(*dialog, "printButton")->toolTip(), "Print selected covers.");
    EXPECT_EQ(button(*dialog, "cancelButton")->text(), "&Cancel");
    EXPECT_EQ(button(*dialog, "cancelButton")->toolTip(), "Cancel Printing.");
    EXPECT_EQ(button(*dialog, "frontTile")->toolTip(), "Print CD front cover.");
    EXPECT_EQ(button(*dialog, "miniTile")->toolTip(), "Print CD mini cover.");
    EXPECT_EQ(button(*dialog, "dsTile")->toolTip(), "Print DS cover.");
    for (int k = 1; k <= 11; ++k) {
        EXPECT_TRUE(tile(*dialog, k)->text().isEmpty());
        EXPECT_TRUE(tile(*dialog, k)->isCheckable());
        EXPECT_EQ(shownFace(*dialog, k), 1) << k;
    }
    EXPECT_EQ(status(*dialog), "");
}

TEST_F(PrintDialogTest, TwentyTwoFacesAllDifferent) {
    auto dialog = open();
    QList<QImage> faces;
    for (int k = 1; k <= 11; ++k)
        for (QIcon::State state : {QIcon::Off, QIcon::On}) {
            const QImage shown = face(*dialog, k, state);
            ASSERT_FALSE(shown.isNull()) << k;
            for (const QImage& earlier : faces) EXPECT_NE(earlier, shown) << k;
            faces << shown;
        }
}

TEST_F(PrintDialogTest, SavedSelectionComesBackAndPrintWritesAllKeys) {
    QHash<QString, QString> values;
    for (const QString& key : kKeys) values.insert(key, "0");
    values["Front"] = "-1";
    values["DVD"] = "-1";
    writeKeys(values);

    auto dialog = open();
    EXPECT_EQ(shownSelection(*dialog), QStringList({"Front", "DVD"}));

    press(*dialog, "printButton");
    EXPECT_EQ(recorder->documents, 2);
    EXPECT_TRUE(recorder->calls.contains("draw 11x21 at 0,0 size 6840.0x6840.0"));
    EXPECT_TRUE(recorder->calls.contains("draw 14x24 at 0,0 size 15390.0x10260.0"));
    EXPECT_EQ(status(*dialog), "Printing Complete.");
    EXPECT_TRUE(button(*dialog, "printButton")->isEnabled());

    vexa::settings::ProfileFile file(vexa::settings::settingsFilePath());
    for (const QString& key : kKeys)
        EXPECT_EQ(file.read("MAIN", key), key == "Front" || key == "DVD" ? "-1" : "0")
            << key.toStdString();
}

struct ReadCase {
    const char* name;
    QHash<QString, QString> file;
    QStringList selected;
};

class PrintDialogReadTest : public PrintDialogTest,
                            public ::testing::WithParamInterface<ReadCase> {};

TEST_P(PrintDialogReadTest, LoadsTheSelection) {
    writeKeys(GetParam().file);
    auto dialog = open();
    EXPECT_EQ(shownSelection(*dialog), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PrintDialogReadTest,
    ::testing::Values(
        ReadCase{"NoFile", {}, {}},
        // A Front that is no 16-bit number stops the reading: DVD is not looked at.
        ReadCase{"FrontNotANumber", {{"Front", "abc"}, {"DVD", "-1"}}, {}},
        ReadCase{"FrontMissing", {{"DVD", "-1"}, {"BLU", "-1"}}, {}},
        ReadCase{"FrontOutOfRange", {{"Front", "40000"}, {"DVD", "-1"}}, {}},
        // A number other than "0" and "-1" only unselects Front.
        ReadCase{"FrontOne", {{"Front", "1"}, {"DVD", "-1"}}, {"DVD"}},
        ReadCase{"FrontFraction", {{"Front", "-1.0"}, {"DS", "-1"}}, {"DS"}},
        ReadCase{"OthersNeedExactlyMinusOne",
                 {{"Front", "-1"}, {"Inside", "1"}, {"Back", "-1.0"}, {"Mini", ""}, {"VITA", "-1"}},
                 {"Front", "VITA"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintDialogTest, TogglingTwiceReturnsToTheStart) {
    writeKeys({{"Front", "-1"}});
    auto dialog = open();
    for (int k : {1, 3}) {
        QPushButton* b = tile(*dialog, k);
        const int face = shownFace(*dialog, k);
        const vexa::cover::CoverKind kind =
            vexa::cover::coverKindAt(static_cast<std::size_t>(k - 1));
        const bool flag = dialog->selection().testFlag(kind);
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_NE(shownFace(*dialog, k), face);
        EXPECT_EQ(dialog->selection().testFlag(kind), !flag);
        EXPECT_FALSE(b->isDown());
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(shownFace(*dialog, k), face);
        EXPECT_EQ(dialog->selection().testFlag(kind), flag);
    }
}

TEST_F(PrintDialogTest, CancelWritesNothing) {
    writeKeys({{"Front", "0"}, {"Back", "0"}});
    const QByteArray before = fileBytes();
    {
        auto dialog = open();
        QTest::mouseClick(button(*dialog, "backTile"), Qt::LeftButton);
        EXPECT_EQ(shownSelection(*dialog), QStringList({"Back"}));
        QTest::mouseClick(button(*dialog, "cancelButton"), Qt::LeftButton);
        EXPECT_EQ(status(*dialog), "Printing Cancelled.");
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(recorder->calls, QStringList());
    }
    EXPECT_EQ(fileBytes(), before);
    auto again = open();
    EXPECT_EQ(shownSelection(*again), QStringList());
}

TEST_F(PrintDialogTest, OpeningTwiceShowsTheSameSelection) {
    writeKeys({{"Front", "-1"}, {"PSP", "-1"}, {"Mini", "0"}});
    auto first = open();
    const QStringList shown = shownSelection(*first);
    EXPECT_EQ(shown, QStringList({"Front", "PSP"}));
    first.reset();
    auto second = open();
    EXPECT_EQ(shownSelection(*second), shown);
}

TEST_F(PrintDialogTest, NothingSelectedStillWritesTheFlagsAndCompletes) {
    auto dialog = open();
    press(*dialog, "printButton");
    EXPECT_EQ(recorder->calls, QStringList({"follow"}));
    EXPECT_EQ(status(*dialog), "Printing Complete.");
    vexa::settings::ProfileFile file(vexa::settings::settingsFilePath());
    for (const QString& key : kKeys) EXPECT_EQ(file.read("MAIN", key), "0") << key.toStdString();
}

TEST_F(PrintDialogTest, NoPrinterSaysWhyAfterWritingTheFlags) {
    writeKeys({{"Front", "-1"}});
    const struct {
        cups::PrintFailure why;
        const char* said;
    } cases[] = {
        {cups::PrintFailure::ServerUnreachable,
         "The print server cannot be reached. Check that CUPS is running."},
        {cups::PrintFailure::NoPrinter,
         "No printer was found. Add a printer in your system's printer settings."},
        {cups::PrintFailure::NoDefaultPrinter,
         "There is no default printer. Choose one in your system's printer settings."},
    };
    for (const auto& c : cases) {
        auto dialog = open();
        recorder->hasPrinter = false;
        recorder->noPrinter = c.why;
        press(*dialog, "printButton");
        EXPECT_EQ(recorder->calls, QStringList({"follow"}));
        EXPECT_EQ(status(*dialog), c.said);
        EXPECT_TRUE(button(*dialog, "printButton")->isEnabled());
    }
    EXPECT_EQ(vexa::settings::readSetting("Inside"), "0");
    EXPECT_EQ(vexa::settings::readSetting("Front"), "-1");
}

TEST_F(PrintDialogTest, DuringTheRunPrintIsDisabledAndTheStatusNamesTheCover) {
    writeKeys({{"Front", "0"}, {"Mini", "-1"}, {"DS", "-1"}});
    auto dialog = open();
    QStringList seen;
    // On the run's worker: the window is looked at from its own thread, after what the run
    // had told it before this cover was sent.
    recorder->onDocument = [&] {
        QMetaObject::invokeMethod(
            dialog.get(),
            [&] {
                seen << QStringLiteral("%1 %2").arg(
                    status(*dialog),
                    button(*dialog, "printButton")->isEnabled() ? "enabled" : "disabled");
            },
            Qt::BlockingQueuedConnection);
    };
    press(*dialog, "printButton");
    EXPECT_EQ(seen,
              QStringList({"Printing CD Mini Cover. disabled", "Printing DS Cover. disabled"}));
    EXPECT_TRUE(button(*dialog, "printButton")->isEnabled());
    EXPECT_EQ(status(*dialog), "Printing Complete.");
}

TEST_F(PrintDialogTest, CancelDuringTheRunStopsAfterTheCoverBeingSent) {
    writeKeys({{"Front", "-1"}, {"Inside", "-1"}, {"Back", "-1"}});
    auto dialog = open();
    printAndCancelDuringTheFirstDocument(*dialog, *recorder);
    EXPECT_EQ(recorder->documents, 1);
    EXPECT_EQ(status(*dialog), "Printing Cancelled.");
    EXPECT_TRUE(button(*dialog, "printButton")->isEnabled());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->isPrinting());
    // The selection was saved before printing began.
    EXPECT_EQ(vexa::settings::readSetting("Back"), "-1");
}

TEST_F(PrintDialogTest, ActivationClearsTheStatusLine) {
    auto dialog = open();
    press(*dialog, "printButton");
    ASSERT_EQ(status(*dialog), "Printing Complete.");
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(status(*dialog), "");
}

TEST_F(PrintDialogTest, PaperComesFromPrintSectionAndIsWrittenWithTheFlags) {
    const struct {
        const char* stored; // nullptr: no key
        const char* shown;
        const char* written;
    } cases[] = {{nullptr, "Letter and Legal", "Letter"},
                 {"a4", "A4", "A4"},
                 {"A4 ", "A4", "A4"}, // values are read without surrounding blanks
                 {"Legal", "Letter and Legal", "Letter"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        QFile::remove(vexa::settings::settingsFilePath());
        vexa::settings::ProfileFile file(vexa::settings::settingsFilePath());
        if (c.stored) {
            ASSERT_TRUE(file.write("PRINT", "Paper", c.stored));
        }
        writeKeys({{"Front", "-1"}});
        auto dialog = open();
        auto* paper = dialog->findChild<QComboBox*>("paperChoice");
        ASSERT_NE(paper, nullptr);
        EXPECT_EQ(paper->currentText(), c.shown);
        press(*dialog, "printButton");
        EXPECT_EQ(file.read("PRINT", "Paper"), c.written);
        EXPECT_EQ(file.read("MAIN", "Paper"), "");
        EXPECT_EQ(recorder->calls.mid(1, 2),
                  QStringList({QStringLiteral("paper %1").arg(QString(c.written) == "A4" ? 9 : 1),
                               "orientation 1"}));
    }
    // Choosing in the window counts from the next Print on.
    auto dialog = open();
    dialog->findChild<QComboBox*>("paperChoice")->setCurrentIndex(0);
    press(*dialog, "printButton");
    EXPECT_EQ(
        vexa::settings::ProfileFile(vexa::settings::settingsFilePath()).read("PRINT", "Paper"),
        "Letter");
}

TEST_F(PrintDialogTest, ARefusedCoverReplacesPrintingCompleteAndCutsAreTold) {
    writeKeys({{"Front", "-1"}, {"HD", "-1"}});
    auto dialog = open();
    recorder->cut = "12.7 mm on the right";
    press(*dialog, "printButton");
    EXPECT_EQ(status(*dialog),
              "Printing Complete.\n"
              "The printer's margins cut off 12.7 mm on the right of the CD front cover.\n"
              "The printer's margins cut off 12.7 mm on the right of the HD-DVD cover.");
    recorder->cut.clear();
    recorder->refusal = "printer alpha is not available";
    press(*dialog, "printButton");
    EXPECT_EQ(status(*dialog),
              "The CD front cover was not printed: printer alpha is not available.\n"
              "The HD-DVD cover was not printed: printer alpha is not available.");
}

namespace {

// Answers "Save as PDF…" in the user's place and writes down what was asked and told.
struct ScriptedSavePrompts : SavePrompts {
    std::optional<QString> pdfFileName(const QString& suggestion) override {
        log << "file?";
        suggestions << suggestion;
        return fileName;
    }
    bool replaceFile(const QString& path) override {
        log << "replace " + QFileInfo(path).fileName() + "?";
        return replace;
    }
    void tell(bool saved, const QString& text) override {
        log << QStringLiteral("%1: %2").arg(saved ? "saved" : "not saved", text);
    }
    std::optional<QString> fileName;
    bool replace = false;
    QStringList log;
    QStringList suggestions;
};

} // namespace

TEST_F(PrintDialogTest, SaveAsPdfWritesOnePagePerCoverThroughATemporaryFile) {
    writeKeys({{"Front", "-1"}, {"DVD", "-1"}, {"DS", "-1"}});
    // A dithered-looking Front picture, to be found again pixel for pixel.
    QImage front(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            front.setPixel(x, y, (x * 7 + y * 3) % 5 < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    host.putPicture("Image1", front);
    host.putPicture("Image7", QImage()); // DS selected but empty: no page
    const QString pdf = folder.filePath("covers.pdf");
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old file");
    old.close();

    auto dialog = open();
    auto* prompts = new ScriptedSavePrompts;
    dialog->setSavePrompts(std::unique_ptr<SavePrompts>(prompts));
    dialog->findChild<QComboBox*>("paperChoice")->setCurrentIndex(1); // A4
    prompts->fileName = folder.filePath("covers");                    // ".pdf" is added

    // Refusing to replace leaves the file alone, but the choices are kept as with Print.
    press(*dialog, "savePdfButton");
    EXPECT_EQ(prompts->log, QStringList({"file?", "replace covers.pdf?"}));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "the old file");
    old.close();
    EXPECT_EQ(
        vexa::settings::ProfileFile(vexa::settings::settingsFilePath()).read("PRINT", "Paper"),
        "A4");
    EXPECT_EQ(vexa::settings::readSetting("DVD"), "-1");

    prompts->log.clear();
    prompts->replace = true;
    press(*dialog, "savePdfButton");
    const QString told = "Saved 2 covers to " + QDir::toNativeSeparators(pdf) +
                         ". The DS cover has no picture and was left out.";
    EXPECT_EQ(prompts->log, QStringList({"file?", "replace covers.pdf?", "saved: " + told}));
    EXPECT_EQ(status(*dialog), told);
    EXPECT_TRUE(button(*dialog, "printButton")->isEnabled());
    EXPECT_TRUE(recorder->calls.isEmpty()); // no printer involved
    // A4 upright for Front, sideways for DVD (595 x 842 pt), in table order.
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{595, 842}, {842, 595}}));
    EXPECT_EQ(vexa::test::firstPdfImage(pdf).convertToFormat(QImage::Format_RGB32), front);
    // Nothing but the settings file and the PDF is left in the folder.
    EXPECT_EQ(
        QDir(folder.path()).entryList(QDir::Files),
        QStringList({"covers.pdf", QFileInfo(vexa::settings::settingsFilePath()).fileName()}));

    // Nothing selected that has a picture: nothing asked, nothing written.
    prompts->log.clear();
    QTest::mouseClick(button(*dialog, "frontTile"), Qt::LeftButton);
    QTest::mouseClick(button(*dialog, "dvdTile"), Qt::LeftButton);
    press(*dialog, "savePdfButton");
    EXPECT_EQ(prompts->log, QStringList({"not saved: None of the selected covers has a picture."}));
}

TEST_F(PrintDialogTest, SaveAsPdfProposesAFreeNameWhereTheLastPdfWent) {
    QTemporaryDir home;
    const vexa::test::ScopedEnvironment homeVariable("HOME", QFile::encodeName(home.path()));
    writeKeys({{"Front", "-1"}, {"Inside", "-1"}, {"DVD", "-1"}, {"VITA", "-1"}});
    host.putPicture("Image2", QImage()); // Inside and DVD chosen without a picture
    host.putPicture("Image4", QImage());
    auto dialog = open();
    auto* prompts = new ScriptedSavePrompts;
    dialog->setSavePrompts(std::unique_ptr<SavePrompts>(prompts));
    const auto proposed = [&] {
        prompts->fileName.reset(); // the user cancels
        press(*dialog, "savePdfButton");
        return prompts->suggestions.isEmpty() ? QString() : prompts->suggestions.takeLast();
    };

    // No PDF saved yet: the home folder; a name taken there is not proposed again.
    EXPECT_EQ(proposed(), QDir(home.path()).filePath("covers.pdf"));
    for (const char* taken : {"covers.pdf", "covers 2.pdf"}) {
        QFile file(QDir(home.path()).filePath(taken));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(proposed(), QDir(home.path()).filePath("covers 3.pdf"));

    // Saved elsewhere: that folder next time, also for a later run of the window.
    ASSERT_TRUE(QDir(folder.path()).mkdir("pdfs"));
    const QString pdfs = folder.filePath("pdfs");
    prompts->fileName = QDir(pdfs).filePath("mine.pdf");
    press(*dialog, "savePdfButton");
    EXPECT_EQ(prompts->log.last(), "saved: Saved 2 covers to " +
                                       QDir::toNativeSeparators(QDir(pdfs).filePath("mine.pdf")) +
                                       ". The CD inside and DVD covers have no picture and were "
                                       "left out.");
    EXPECT_EQ(proposed(), QDir(pdfs).filePath("covers.pdf"));
    dialog = open();
    dialog->setSavePrompts(std::unique_ptr<SavePrompts>(prompts = new ScriptedSavePrompts));
    EXPECT_EQ(proposed(), QDir(pdfs).filePath("covers.pdf"));

    // That folder gone: home again.
    ASSERT_TRUE(QDir(pdfs).removeRecursively());
    EXPECT_EQ(proposed(), QDir(home.path()).filePath("covers 3.pdf"));
}

TEST_F(PrintDialogTest, TheWindowHandlesEventsWhileARunOrAnExportGoes) {
    writeKeys({{"Front", "-1"}, {"Inside", "-1"}, {"Back", "-1"}});
    auto dialog = open();
    auto* prompts = new ScriptedSavePrompts;
    dialog->setSavePrompts(std::unique_ptr<SavePrompts>(prompts));
    prompts->fileName = folder.filePath("covers.pdf");
    std::atomic<int> ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    // Each cover is held on the run's worker until the window's thread has handled two more
    // timer events: a run on the window's own thread would wait for them in vain.
    std::vector<bool> timerFired; // the worker's, until the run has ended
    recorder->onDocument = [&] {
        const int from = ticks;
        QElapsedTimer waited;
        waited.start();
        while (ticks < from + 2 && waited.elapsed() < 10000) QThread::msleep(1);
        timerFired.push_back(ticks >= from + 2);
    };

    for (const char* name : {"printButton", "savePdfButton"}) {
        SCOPED_TRACE(name);
        QTest::mouseClick(button(*dialog, name), Qt::LeftButton);
        // Back from the click while the work goes on, with the window's buttons locked.
        EXPECT_TRUE(dialog->isPrinting());
        for (const char* locked : {"printButton", "savePdfButton", "previewButton"})
            EXPECT_FALSE(button(*dialog, locked)->isEnabled()) << locked;
        ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(*dialog));
        EXPECT_TRUE(button(*dialog, "printButton")->isEnabled());
    }
    EXPECT_EQ(timerFired, std::vector<bool>({true, true, true}));
    EXPECT_EQ(recorder->documents, 3);
    EXPECT_EQ(prompts->log.last(), "saved: Saved 3 covers to " +
                                       QDir::toNativeSeparators(folder.filePath("covers.pdf")) +
                                       ".");
}

TEST_F(PrintDialogTest, ClosingOrDestroyingTheWindowDuringARunWaitsForTheCoverBeingSent) {
    writeKeys({{"Front", "-1"}, {"Inside", "-1"}, {"Back", "-1"}});
    // Counted here: the printer goes with its window.
    std::atomic<int> sent = 0;
    std::atomic<bool> sending = false;
    std::atomic<bool> release = false;
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "closed");
        sent = 0;
        sending = false;
        release = false;
        auto dialog = open();
        dialog->show();
        // The first cover is held on the run's worker until the test lets it go.
        recorder->onDocument = [&] {
            ++sent;
            sending = true;
            for (int i = 0; i < 10000 && !release; ++i) QThread::msleep(1);
        };
        QTest::mouseClick(button(*dialog, "printButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sending.load(); }));
        // The window frame's close: the run is to stop after this cover, and the window stays
        // until it has.
        dialog->close();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->isPrinting());
        release = true;
        if (destroy) {
            dialog.reset();
        } else {
            ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(*dialog));
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(dialog->result(), QDialog::Rejected);
        }
        // Whatever the run had posted arrives now, or never.
        QTest::qWait(20);
        EXPECT_EQ(sent.load(), 1);
    }
}

TEST_F(PrintDialogTest, ChosenCoversThatWillPrintSoftAreNamedAndStillPrint) {
    // 1000 pixels on the CD front's 4.75 in: 210 dpi. The DVD's 14 x 24 pixels: 14 / 10.6875
    // across, 1.3 dpi; fitted, 24 / 7.125 down, 3.4 dpi.
    host.putPicture(QStringLiteral("Image1"), QImage(1000, 1000, QImage::Format_RGB32));
    auto dialog = open();
    auto* soft = dialog->findChild<QLabel*>(QStringLiteral("softCovers"));
    ASSERT_NE(soft, nullptr);
    EXPECT_TRUE(soft->isHidden());
    QTest::mouseClick(tile(*dialog, 1), Qt::LeftButton);
    EXPECT_TRUE(soft->isHidden());
    QTest::mouseClick(tile(*dialog, 5), Qt::LeftButton);
    EXPECT_EQ(soft->text(), "The DVD cover will print soft: 1 dpi.");
    EXPECT_FALSE(soft->isHidden());
    press(*dialog, "printButton");
    EXPECT_EQ(status(*dialog), "Printing Complete.");
    EXPECT_EQ(recorder->documents, 2);

    host.covers().setFraming(vexa::cover::CoverKind::Dvd, {vexa::cover::CoverFit::Fit, {}});
    auto again = open();
    EXPECT_EQ(again->findChild<QLabel*>(QStringLiteral("softCovers"))->text(),
              "The DVD cover will print soft: 3 dpi.");
    // The preview says it on the cover's page.
    vexa::print::CoverPreview preview(
        vexa::printing::previewPages(again->selection(), host.covers().records(),
                                     vexa::cover::PaperChoice::LetterLegal, QString()),
        QString());
    auto* line = preview.findChild<QLabel*>(QStringLiteral("softCover"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isHidden()); // page 1, the CD front
    preview.showPage(1);
    EXPECT_EQ(line->text(), "The DVD cover will print soft: 3 dpi.");
    EXPECT_FALSE(line->isHidden());
}

// The mnemonic of a text: the letter after its one "&".
QChar mnemonic(const QString& text) {
    const qsizetype at = text.indexOf(u'&');
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

TEST_F(PrintDialogTest, EveryButtonAndChoiceHasAMnemonicOfItsOwn) {
    auto dialog = open();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    const struct {
        const char* control;
        const char* text; // of the button, or of the label naming the choice
    } cases[] = {
        {"printButton", "&Print"},
        {"previewButton", "Pre&view"},
        {"savePdfButton", "Save as P&DF\u2026"},
        {"cancelButton", "&Cancel"},
        {"calibrateButton", "Ca&librate Printer..."},
        {"cutMarks", "Cut &marks"},
        {"paperChoice", "Pape&r:"},
        {"sheetsChoice", "&Sheets:"},
        {"copiesChoice", "C&opies:"},
        {"bleedChoice", "&Bleed:"},
    };
    QList<QChar> used;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        auto* control = dialog->findChild<QWidget*>(c.control);
        ASSERT_NE(control, nullptr);
        QString text;
        if (auto* pressable = qobject_cast<QAbstractButton*>(control)) {
            text = pressable->text();
        } else {
            for (QLabel* label : dialog->findChildren<QLabel*>())
                if (label->buddy() == control) text = label->text();
            // Alt and the letter of its label takes the keyboard to the choice.
            QTest::keyClick(dialog.get(), mnemonic(text).toLatin1(), Qt::AltModifier);
            EXPECT_TRUE(control->hasFocus());
        }
        EXPECT_EQ(text, QString::fromUtf8(c.text));
        EXPECT_FALSE(used.contains(mnemonic(text)));
        used << mnemonic(text);
    }
    // No other button or label of the window takes one of these letters.
    for (const QAbstractButton* other : dialog->findChildren<QAbstractButton*>()) {
        if (!mnemonic(other->text()).isNull()) {
            EXPECT_EQ(used.count(mnemonic(other->text())), 1) << other->objectName().toStdString();
        }
    }
}

TEST_F(PrintDialogTest, TabFollowsTheLayout) {
    host.putPicture("Image4", QImage()); // the DVD cover has no picture: its tile is skipped
    auto dialog = open();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    tile(*dialog, 1)->setFocus();
    QStringList order;
    for (int i = 0; i < 21; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order,
              QStringList({"frontTile",     "insideTile",    "backTile",    "miniTile",
                           "dvdSlimTile",   "hdDvdTile",     "bluRayTile",  "pspTile",
                           "vitaTile",      "dsTile",        "paperChoice", "sheetsChoice",
                           "copiesChoice",  "cutMarks",      "bleedChoice", "calibrateButton",
                           "previewButton", "savePdfButton", "printButton", "cancelButton",
                           "frontTile"}));
}

TEST_F(PrintDialogTest, TilesShowTheirPicturesAndThoseWithoutOneAreGreyedOut) {
    writeKeys({{"Front", "-1"}, {"Inside", "-1"}});
    host.putPicture("Image1", vexa::test::solidImage(30, 30, qRgb(200, 30, 30)));
    host.putPicture("Image2", QImage());
    auto dialog = open();
    // The face's middle, inside the case's outline, is the picture's colour in either state.
    for (QIcon::State state : {QIcon::Off, QIcon::On}) {
        const QImage front = face(*dialog, 1, state);
        const QRgb middle = front.pixel(front.width() / 2, front.height() * 36 / 100);
        EXPECT_EQ(middle, qRgb(200, 30, 30));
    }
    EXPECT_TRUE(tile(*dialog, 1)->isEnabled());
    // Inside has no picture: greyed out, and still chosen, as saved.
    QPushButton* inside = tile(*dialog, 2);
    EXPECT_FALSE(inside->isEnabled());
    EXPECT_TRUE(inside->isChecked());
    const QImage grey =
        rgb(inside->icon().pixmap(inside->iconSize(), QIcon::Disabled, QIcon::On).toImage());
    for (const QPoint at : {QPoint(5, 5), QPoint(grey.width() / 2, grey.height() * 36 / 100)})
        EXPECT_EQ(qRed(grey.pixel(at)), qBlue(grey.pixel(at))) << at.x() << "," << at.y();
    // A picture arriving meanwhile brings the tile back.
    host.putPicture("Image2", vexa::test::solidImage(30, 30, qRgb(30, 30, 200)));
    EXPECT_TRUE(inside->isEnabled());
}

TEST_F(PrintDialogTest, TheStatusLineHasARowOfItsOwn) {
    auto dialog = open();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    auto* status = dialog->findChild<QLabel*>(QStringLiteral("printStatus"));
    const auto rowOf = [&](const QWidget* widget) {
        return QRect(widget->mapTo(dialog.get(), QPoint(0, 0)), widget->size());
    };
    for (const char* name : {"printButton", "cancelButton", "previewButton", "savePdfButton"}) {
        EXPECT_LT(rowOf(status).bottom(), rowOf(button(*dialog, name)).top()) << name;
    }
    EXPECT_GT(rowOf(status).top(), rowOf(button(*dialog, "calibrateButton")).bottom());
}

TEST_F(PrintDialogTest, SheetsAndCopiesComeFromThePrintSectionAndPrintKeepsThem) {
    writeKeys({{"Front", "-1"}, {"Back", "-1"}});
    const struct {
        const char* sheets; // nullptr: no key
        const char* copies;
        const char* shownSheets;
        int shownCopies;
    } cases[] = {{nullptr, nullptr, "One cover a page", 1},
                 {"asmanyasfit", " 20 ", "As many as fit", 20},
                 {"Packed", "21", "One cover a page", 1}};
    vexa::settings::ProfileFile file(vexa::settings::settingsFilePath());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheets ? c.sheets : "(none)");
        file.remove("PRINT", "Sheets");
        file.remove("PRINT", "Copies");
        if (c.sheets) {
            ASSERT_TRUE(file.write("PRINT", "Sheets", c.sheets));
        }
        if (c.copies) {
            ASSERT_TRUE(file.write("PRINT", "Copies", c.copies));
        }
        auto dialog = open();
        EXPECT_EQ(dialog->findChild<QComboBox*>("sheetsChoice")->currentText(), c.shownSheets);
        EXPECT_EQ(dialog->findChild<QSpinBox*>("copiesChoice")->value(), c.shownCopies);
    }
    auto dialog = open();
    dialog->findChild<QComboBox*>("sheetsChoice")->setCurrentIndex(0);
    dialog->findChild<QSpinBox*>("copiesChoice")->setValue(2);
    press(*dialog, "printButton");
    EXPECT_EQ(file.read("PRINT", "Sheets"), "OneCoverAPage");
    EXPECT_EQ(file.read("PRINT", "Copies"), "2");
    // One cover a page: each copy a document of its own, each cover's copies together.
    EXPECT_EQ(recorder->documents, 4);
    const QString front = "draw 11x21 at 0,0 size 6840.0x6840.0";
    const QString back = "draw 13x23 at 0,0 size 8496.0x6696.0";
    EXPECT_EQ(recorder->calls.filter(QRegularExpression("^(draw|sheet)")),
              QStringList({front, front, back, back}));
}

TEST_F(PrintDialogTest, PackedTheStatusCountsSheetsAndCancelStopsAfterTheSheetBeingSent) {
    // Fronts of 342 pt and backs of 334.8 pt high, on 792 pt Letter pages (the recording
    // printer has no margins): two fronts, a front and a back, two backs.
    writeKeys({{"Front", "-1"}, {"Back", "-1"}});
    auto dialog = open();
    dialog->findChild<QComboBox*>("sheetsChoice")->setCurrentIndex(1);
    dialog->findChild<QSpinBox*>("copiesChoice")->setValue(3);
    QStringList seen;
    recorder->onDocument = [&] {
        QMetaObject::invokeMethod(
            dialog.get(), [&] { seen << status(*dialog); }, Qt::BlockingQueuedConnection);
    };
    press(*dialog, "printButton");
    EXPECT_EQ(seen, QStringList({"Printing sheet 1 of 3.", "Printing sheet 2 of 3.",
                                 "Printing sheet 3 of 3."}));
    EXPECT_EQ(recorder->calls.filter("sheet of 2 pictures").size(), 3);
    EXPECT_TRUE(recorder->calls.filter("draw").isEmpty());
    EXPECT_EQ(status(*dialog), "Printing Complete.");
    EXPECT_EQ(vexa::settings::readSetting(vexa::settings::keys::kSheets), "AsManyAsFit");

    recorder->documents = 0;
    printAndCancelDuringTheFirstDocument(*dialog, *recorder);
    EXPECT_EQ(recorder->documents, 1);
    EXPECT_EQ(status(*dialog), "Printing Cancelled.");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(PrintDialogTest, SaveAsPdfWritesTheSameSheets) {
    writeKeys({{"Front", "-1"}, {"Back", "-1"}, {"DS", "-1"}});
    host.putPicture("Image7", QImage()); // DS chosen without a picture
    auto dialog = open();
    auto* prompts = new ScriptedSavePrompts;
    dialog->setSavePrompts(std::unique_ptr<SavePrompts>(prompts));
    dialog->findChild<QComboBox*>("sheetsChoice")->setCurrentIndex(1);
    const QString pdf = folder.filePath("sheets.pdf");
    prompts->fileName = pdf;
    press(*dialog, "savePdfButton");
    const QString told = "Saved 2 covers on 1 sheet to " + QDir::toNativeSeparators(pdf) +
                         ". The DS cover has no picture and was left out.";
    EXPECT_EQ(prompts->log, QStringList({"file?", "saved: " + told}));
    EXPECT_EQ(vexa::test::pdfPageSizes(pdf), std::vector<QSizeF>({{612, 792}}));
    EXPECT_EQ(vexa::test::pdfImageList(pdf).size(), 2u);
}

// A refusal is said once for the copies of a cover, and a packed sheet is named by its covers.
TEST_F(PrintDialogTest, ARefusedSheetIsNamedByItsCoversAndCopiesAreToldOnce) {
    writeKeys({{"Front", "-1"}, {"Back", "-1"}});
    auto dialog = open();
    recorder->refusal = "printer alpha has no A4 paper";
    dialog->findChild<QSpinBox*>("copiesChoice")->setValue(2);
    press(*dialog, "printButton");
    EXPECT_EQ(status(*dialog),
              "The CD front cover was not printed: printer alpha has no A4 paper.\n"
              "The CD back cover was not printed: printer alpha has no A4 paper.");
    dialog->findChild<QComboBox*>("sheetsChoice")->setCurrentIndex(1);
    press(*dialog, "printButton");
    EXPECT_EQ(status(*dialog),
              "Sheet 1 (2 x CD front) was not printed: printer alpha has no A4 paper.\n"
              "Sheet 2 (2 x CD back) was not printed: printer alpha has no A4 paper.");
}
