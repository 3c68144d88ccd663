// Calibrating a printer: the calibration page as the printer receives it, measured with
// poppler, `vexa-cli calibrate` storing and removing calibrations, and the Calibrate Printer
// window.
#include "support/CupsTestServer.h"
#include "support/PdfProbe.h"
#include "support/TestSupport.h"

#include "support/FakeCoverHost.h"
#include "support/ModalDriver.h"
#include "support/PrintDialogWait.h"
#include "support/RecordingPrinter.h"

#include "cli/CalibrateCommand.h"
#include "core/base/ProgramFolder.h"
#include "core/cover/CalibrationStore.h"
#include "core/cover/PaperChoice.h"
#include "core/printing/PreviewPages.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/Settings.h"
#include "print/CalibrateWindow.h"
#include "print/CoverPreview.h"
#include "print/PrintDialog.h"
#include "print/SavePrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::print;

namespace {

// 10 pixels to the millimetre.
constexpr int kDpi = 254;

bool dark(QRgb pixel) {
    return qGray(pixel) < 160;
}

// The dark runs along row `y` (or column `x`) as [first, last] pixel pairs.
std::vector<std::pair<int, int>> darkRuns(const QImage& page, int at, bool alongRow) {
    std::vector<std::pair<int, int>> runs;
    const int length = alongRow ? page.width() : page.height();
    for (int i = 0; i < length; ++i) {
        if (!dark(alongRow ? page.pixel(i, at) : page.pixel(at, i))) continue;
        if (!runs.empty() && runs.back().second == i - 1)
            runs.back().second = i;
        else
            runs.emplace_back(i, i);
    }
    return runs;
}

class CalibrationPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        vexa::base::setProgramFolderForTesting(folder.path());
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    int run(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return vexa::cli::runCalibrateCommand(arguments, outStream, errStream);
    }
    vexa::test::CupsTestServer& printServer() {
        vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
        QString error;
        EXPECT_TRUE(server.reset(&error)) << error.toStdString();
        return server;
    }
    QByteArray settings() const {
        return vexa::test::fileBytes(vexa::settings::settingsFilePath());
    }

    QTemporaryDir folder;
    QString out;
    QString err;
};

TEST_F(CalibrationPrintTest, ThePageHasItsLinesWhereItSaysTheyAre) {
    vexa::test::CupsTestServer& server = printServer();
    ASSERT_EQ(run({"--printer", "beta", "--paper", "legal"}), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith("calibration page sent to beta on Legal paper"))
        << out.toStdString();
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles("beta");
    ASSERT_EQ(jobs.size(), 1);
    // Portrait Legal, as the paper feeds.
    EXPECT_EQ(vexa::test::pdfPageSizes(jobs[0]), std::vector<QSizeF>({{612, 1008}}));
    const QImage page = vexa::test::renderPdfPage(jobs[0], 1, kDpi);
    ASSERT_EQ(page.size(), QSize(2159, 3556)); // 215.9 x 355.6 mm

    // The line 20 mm from the top edge runs from 20 mm to 170 mm across: the ruler.
    const auto top = darkRuns(page, 200, true);
    ASSERT_FALSE(top.empty());
    EXPECT_NEAR(top.front().first, 200, 1);
    EXPECT_NEAR(top.front().second, 1700, 1);
    // The line 20 mm from the left edge runs down from 20 mm to 170 mm.
    const auto left = darkRuns(page, 200, false);
    ASSERT_FALSE(left.empty());
    EXPECT_NEAR(left.front().first, 200, 1);
    EXPECT_NEAR(left.front().second, 1700, 1);
    // Nothing nearer the edges than the two lines.
    const QRect ink = vexa::test::inkBox(page);
    EXPECT_NEAR(ink.left(), 200, 1);
    EXPECT_NEAR(ink.top(), 200, 1);
    // 1.5 mm inside each ruler every millimetre tick crosses: 151 of them, 10 px apart.
    for (const bool alongRow : {true, false}) {
        const auto ticks = darkRuns(page, 215, alongRow);
        ASSERT_EQ(ticks.size(), 151u) << alongRow;
        for (std::size_t mm = 0; mm < ticks.size(); ++mm)
            EXPECT_NEAR((ticks[mm].first + ticks[mm].second) / 2.0, 200 + 10.0 * mm, 1.0)
                << alongRow << " tick " << mm;
    }
    // The words say what to measure, and how far the lines are.
    const QString words = vexa::test::pdfText(jobs[0]).simplified();
    EXPECT_TRUE(words.contains("VEXA printer calibration: printer beta, Legal paper"))
        << words.toStdString();
    EXPECT_TRUE(words.contains("1. From the paper's left edge to the long line on the left "
                               "(drawn 20 mm from the edge)."));
    EXPECT_TRUE(words.contains("3. The ruler across the page, from its 0 mark to its 150 mark"));
    EXPECT_TRUE(words.contains("vexa-cli calibrate --printer beta --paper legal --set LEFT TOP "
                               "ACROSS DOWN"));
}

TEST_F(CalibrationPrintTest, SetStoresResetRemovesAndBadFiguresChangeNothing) {
    printServer();
    ASSERT_EQ(run({"--printer", "alpha", "--paper", "a4", "--set", "21,5", "18", "151.5", "148,5"}),
              0)
        << err.toStdString();
    EXPECT_EQ(out, "calibration of alpha on A4 paper stored: offset +1.30 mm across, -1.80 mm "
                   "down; scale 101.00 % across, 99.00 % down\n");
    const QByteArray stored = settings();
    EXPECT_TRUE(stored.contains("[CALIBRATION]\nalpha/A4=across +1.30 mm 101.000 %, down -1.80 mm "
                                "99.000 %\n"))
        << stored.toStdString();

    const struct {
        QStringList arguments;
        int status;
        const char* says;
    } refused[] = {
        {{"--paper", "a4", "--set", "abc", "20", "150", "150"}, 2, "\"abc\" is not a length"},
        {{"--paper", "a4", "--set", "", "20", "150", "150"},
         2,
         "Type the distance from the paper's left edge"},
        {{"--paper", "a4", "--set", "20", "20", "165", "150"}, 2, "the ruler was misread"},
        {{"--paper", "a4", "--set", "20", "20", "150"}, 2, "'--set' takes four figures"},
        {{"--paper", "a4", "--set", "--reset"}, 2, "give --set or --reset, not both"},
        {{"--paper", "b5", "--reset"}, 2, "'--paper' takes letter, legal or a4, not 'b5'"},
        {{"--paper", "a4", "20"}, 2, "unexpected argument '20'"},
        {{"--paper", "a4", "--paper", "a4", "--reset"}, 2, "'--paper' is given twice"},
        {{"--printer", "gamma", "--set", "20", "20", "150", "150"},
         1,
         "no printer named 'gamma' (installed: alpha, beta)"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const QStringList printer =
            c.arguments.contains("--printer") ? QStringList() : QStringList{"--printer", "alpha"};
        EXPECT_EQ(run(printer + c.arguments), c.status);
        EXPECT_TRUE(err.contains(QLatin1String(c.says))) << err.toStdString();
        EXPECT_EQ(settings(), stored);
    }

    // Letter and Legal are apart from A4; reset takes out A4 only.
    ASSERT_EQ(run({"--printer", "alpha", "--paper", "legal", "--set", "20", "20", "150", "150"}),
              0);
    ASSERT_EQ(run({"--printer", "alpha", "--paper", "a4", "--reset"}), 0) << err.toStdString();
    EXPECT_EQ(out, "calibration of alpha on A4 paper removed\n");
    EXPECT_FALSE(
        cover::settingsCalibrations().read("alpha", cover::Paper::A4).calibration.has_value());
    EXPECT_TRUE(
        cover::settingsCalibrations().read("alpha", cover::Paper::Legal).calibration.has_value());
    ASSERT_EQ(run({"--printer", "alpha", "--paper", "a4", "--reset"}), 0);
    EXPECT_EQ(out, "no calibration was stored for alpha on A4 paper\n");
    // Without --printer, the default printer's (alpha's).
    ASSERT_EQ(run({"--paper", "legal", "--reset"}), 0);
    EXPECT_EQ(out, "calibration of alpha on Legal paper removed\n");
}

TEST_F(CalibrationPrintTest, SetReplacesEveryLineOfThePrinterAndPaper) {
    printServer();
    vexa::test::writeFileBytes(vexa::settings::settingsFilePath(),
                               "[CALIBRATION]\nalpha/A4=across 1 mm 100 %, down 0 mm 100 %\n"
                               "beta/A4=across 1 mm 100 %, down 0 mm 100 %\n"
                               "ALPHA/a4=across 2 mm 100 %, down 0 mm 100 %\n");
    ASSERT_EQ(run({"--printer", "alpha", "--paper", "a4", "--set", "20", "20", "150", "150"}), 0)
        << err.toStdString();
    EXPECT_EQ(settings().toStdString(),
              "[CALIBRATION]\nalpha/A4=across +0.00 mm 100.000 %, down +0.00 mm 100.000 %\n"
              "beta/A4=across 1 mm 100 %, down 0 mm 100 %\n");
}

TEST_F(CalibrationPrintTest, TheWindowPrintsThePageThenStoresOrRefusesTheFigures) {
    std::vector<std::pair<QString, cover::Paper>> printed;
    CalibrateWindow window(
        QStringLiteral("office"), cover::Paper::Legal, cover::settingsCalibrations(),
        [&printed](const QString& printer, cover::Paper paper, const std::function<bool()>&) {
            printed.emplace_back(printer, paper);
            return printing::CalibrationPageResult();
        });
    auto* paper = window.findChild<QComboBox*>("calibrationPaper");
    ASSERT_NE(paper, nullptr);
    EXPECT_EQ(paper->currentText(), "Legal");
    paper->setCurrentIndex(paper->findText("A4"));
    auto* stored = window.findChild<QLabel*>("storedCalibration");
    EXPECT_EQ(stored->text(), "No calibration is stored for this printer on A4 paper.");

    window.findChild<QPushButton*>("printCalibrationPageButton")->click();
    QTRY_VERIFY(!window.isPrinting());
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0], std::make_pair(QStringLiteral("office"), cover::Paper::A4));
    EXPECT_TRUE(window.statusText().startsWith("The calibration page went to the printer."));

    const auto type = [&window](const char* left, const char* top, const char* across,
                                const char* down) {
        window.findChild<QLineEdit*>("leftFigure")->setText(left);
        window.findChild<QLineEdit*>("topFigure")->setText(top);
        window.findChild<QLineEdit*>("acrossFigure")->setText(across);
        window.findChild<QLineEdit*>("downFigure")->setText(down);
        window.findChild<QPushButton*>("saveButton")->click();
    };
    type("19,5", "20.5", "150", "150.75");
    EXPECT_EQ(window.statusText(), "Stored. Covers printed on office on A4 paper are corrected.");
    EXPECT_EQ(stored->text(), "Stored for A4 paper: offset -0.50 mm across, +0.40 mm down; "
                              "scale 100.00 % across, 100.50 % down.");
    const QByteArray before = settings();
    type("19.5", "x", "150", "150");
    EXPECT_TRUE(window.statusText().startsWith("\"x\" is not a length: type the distance from "
                                               "the paper's top edge to the line"));
    type("19.5", "20", "150", "");
    EXPECT_EQ(window.statusText(), "Type the length of the ruler down the page in millimetres, "
                                   "as measured on the printed page.");
    type("35", "20", "150", "150");
    EXPECT_TRUE(window.statusText().contains("misread")) << window.statusText().toStdString();
    EXPECT_EQ(settings(), before);

    window.findChild<QPushButton*>("resetButton")->click();
    EXPECT_EQ(window.statusText(), "Removed. Covers printed on office on A4 paper are not "
                                   "corrected.");
    EXPECT_FALSE(
        cover::settingsCalibrations().read("office", cover::Paper::A4).calibration.has_value());
}

// A printer that turns the page down is named once in the sentence that says so; a paused one
// holds the page, and the window says so rather than asking for measurements.
TEST_F(CalibrationPrintTest, ARefusedOrHeldPageIsSaidInOneSentence) {
    vexa::test::CupsTestServer& server = printServer();
    QString error;
    ASSERT_TRUE(server.rejectJobs("alpha", &error)) << error.toStdString();
    EXPECT_EQ(run({"--printer", "alpha"}), 1);
    EXPECT_EQ(err.toStdString(), "vexa-cli calibrate: the calibration page was not printed: "
                                 "printer alpha refused the page because it is not accepting "
                                 "jobs\n");

    CalibrateWindow window(QStringLiteral("office"), cover::Paper::Letter,
                           cover::settingsCalibrations(),
                           [](const QString& printer, cover::Paper, const std::function<bool()>&) {
                               return printing::CalibrationPageResult{QString(), printer};
                           });
    window.findChild<QPushButton*>("printCalibrationPageButton")->click();
    QTRY_VERIFY(!window.isPrinting());
    EXPECT_EQ(window.statusText().toStdString(),
              "Printer office is paused: the page waits in its queue.");
}

// Without a printer the window and vexa-cli say why, in the print window's words, and print
// nothing.
TEST_F(CalibrationPrintTest, WithoutAPrinterTheWindowAndTheCommandSayWhy) {
    vexa::test::CupsTestServer& server = printServer();
    QString error;
    ASSERT_TRUE(server.deletePrinter("alpha", &error)) << error.toStdString();
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    const auto shown = [this] {
        CalibrateWindow window(QString(), cover::Paper::Letter, cover::settingsCalibrations(),
                               [](const QString&, cover::Paper, const std::function<bool()>&) {
                                   return printing::CalibrationPageResult();
                               });
        EXPECT_FALSE(window.findChild<QPushButton*>("printCalibrationPageButton")->isEnabled());
        return window.findChild<QLabel*>("printerName")->text();
    };
    EXPECT_EQ(shown(), "No printer was found. Add a printer in your system's printer settings.");
    EXPECT_EQ(run({}), 1);
    EXPECT_EQ(err, "vexa-cli calibrate: No printer was found. Add a printer in your system's "
                   "printer settings.\n");
    server.halt();
    EXPECT_EQ(shown(), "The print server cannot be reached. Check that CUPS is running.");
    for (const QStringList& arguments : {QStringList(), QStringList({"--printer", "alpha"})}) {
        EXPECT_EQ(run(arguments), 1);
        EXPECT_EQ(err, "vexa-cli calibrate: The print server cannot be reached. Check that CUPS "
                       "is running.\n");
    }
    ASSERT_TRUE(server.resume(&error)) << error.toStdString();
}

TEST_F(CalibrationPrintTest, ThePreviewShowsTheCorrectedPlacementAndSaysSo) {
    printServer();
    const double ox = -2.0, oy = 3.0, sx = 0.98, sy = 1.015, mm = 72.0 / 25.4;
    ASSERT_TRUE(
        cover::settingsCalibrations().write("alpha", cover::Paper::Legal, {ox, oy, sx, sy}));
    vexa::test::FakeCoverHost host;
    host.putPicture("Image4", vexa::test::solidImage(60, 40, qRgb(0, 90, 200))); // the DVD's
    const vexa::cover::CoverKinds flags = vexa::cover::CoverKind::Dvd;
    const std::vector<printing::PreviewPage> pages = printing::previewPages(
        flags, host.covers().records(), cover::PaperChoice::LetterLegal, "alpha");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].calibration,
              "Calibration of alpha on Legal paper applied: offset -2.00 mm across, +3.00 mm "
              "down; scale 98.00 % across, 101.50 % down.");
    // On the paper as it feeds (Legal turned counter-clockwise) the cover stands at
    // (18, 202.5), 513 x 769.5 pt, and is drawn at (q - o) / s there; turned back, that is
    // the page as the user holds it (the paper's (x, y) is the page's (1008 - y, x)).
    const QRectF paper((18 - ox * mm) / sx, (202.5 - oy * mm) / sy, 513 / sx, 769.5 / sy);
    const QRectF held(1008 - paper.bottom(), paper.left(), paper.height(), paper.width());
    ASSERT_EQ(pages[0].content.items.size(), 1u);
    const QRectF drawn = std::get<vexa::cover::PagePicture>(pages[0].content.items[0]).target;
    EXPECT_NEAR(drawn.left(), held.left(), 1e-6);
    EXPECT_NEAR(drawn.top(), held.top(), 1e-6);
    EXPECT_NEAR(drawn.width(), held.width(), 1e-6);
    EXPECT_NEAR(drawn.height(), held.height(), 1e-6);

    CoverPreview window(pages, "alpha");
    window.show();
    auto* label = window.findChild<QLabel*>("calibrationNote");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), pages[0].calibration);

    // Another printer, no calibration: nothing said, the cover at the corner.
    const std::vector<printing::PreviewPage> beta =
        printing::previewPages(flags, host.covers().records(), cover::PaperChoice::LetterLegal,
                               "beta", cover::TrimOptions{true, 0.0});
    ASSERT_EQ(beta.size(), 1u);
    EXPECT_TRUE(beta[0].calibration.isEmpty());
    EXPECT_EQ(beta[0].page.cover.topLeft(), QPointF(36 + 7 * mm, 18 + 7 * mm));
    EXPECT_EQ(beta[0].content.items.size(), 1u + 8u + 4u * 2u); // the cover, cut and fold marks
}

TEST_F(CalibrationPrintTest, ThePrintDialogOffersMarksBleedAndCalibrationAndKeepsTheChoices) {
    vexa::test::CupsTestServer& server = printServer();
    QString error;
    ASSERT_TRUE(server.setServerDefault("beta", &error)) << error.toStdString();
    vexa::test::FakeCoverHost host;
    host.putPicture("Image1", vexa::test::solidImage(40, 40, qRgb(0, 90, 200)));
    auto printer = std::make_unique<vexa::test::RecordingPrinter>();
    vexa::test::RecordingPrinter* recorder = printer.get();
    printer->shortfall = "2.7 mm on the right";
    {
        PrintDialog dialog(host.covers(), std::move(printer));
        auto* marks = dialog.findChild<QCheckBox*>("cutMarks");
        auto* bleed = dialog.findChild<QComboBox*>("bleedChoice");
        ASSERT_TRUE(marks && bleed && dialog.findChild<QPushButton*>("calibrateButton"));
        EXPECT_EQ(marks->text(), "Cut &marks");
        EXPECT_FALSE(marks->isChecked());
        QStringList bleeds;
        for (int i = 0; i < bleed->count(); ++i) bleeds << bleed->itemText(i);
        EXPECT_EQ(bleeds, QStringList({"None", "1.5 mm", "3 mm"}));
        EXPECT_EQ(bleed->currentText(), "None");

        marks->setChecked(true);
        bleed->setCurrentIndex(2);
        EXPECT_EQ(
            vexa::settings::ProfileFile(vexa::settings::settingsFilePath()).read("PRINT", "Marks"),
            "1");
        EXPECT_EQ(
            vexa::settings::ProfileFile(vexa::settings::settingsFilePath()).read("PRINT", "Bleed"),
            "3");

        // The print run hands them to the printer, and says what room a side lacked.
        QTest::mouseClick(dialog.findChild<QPushButton*>("frontTile"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
        ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
        EXPECT_EQ(recorder->trim, (cover::TrimOptions{true, 3.0}));
        EXPECT_TRUE(
            dialog.findChild<QLabel*>("printStatus")
                ->text()
                .contains("The CD front cover's bleed and marks have only 2.7 mm on the right."));

        // Calibrate Printer... opens on the printer covers go to, on the paper chosen.
        dialog.findChild<QComboBox*>("paperChoice")->setCurrentIndex(1); // A4
        QString shown;
        vexa::test::whenModal<CalibrateWindow>([&shown](CalibrateWindow* window) {
            shown = window->findChild<QLabel*>("printerName")->text() + " / " +
                    window->findChild<QComboBox*>("calibrationPaper")->currentText();
            window->reject();
        });
        dialog.findChild<QPushButton*>("calibrateButton")->click();
        EXPECT_EQ(shown, "Printer: beta / A4");
    }
    // The next dialog comes back with the choices. Saved as PDF, an HD-DVD cover on Letter
    // leaves 12.7 mm across: 10 mm on the left, 2.7 mm on the right, which the line says.
    PrintDialog again(host.covers(), std::make_unique<vexa::test::RecordingPrinter>());
    EXPECT_TRUE(again.findChild<QCheckBox*>("cutMarks")->isChecked());
    EXPECT_EQ(again.findChild<QComboBox*>("bleedChoice")->currentText(), "3 mm");
    struct NamedFile : SavePrompts {
        QString name;
        std::optional<QString> pdfFileName(const QString&) override { return name; }
        bool replaceFile(const QString&) override { return true; }
        void tell(bool, const QString&) override {}
    };
    auto prompts = std::make_unique<NamedFile>();
    prompts->name = folder.filePath("hd.pdf");
    again.setSavePrompts(std::move(prompts));
    host.putPicture("Image9", vexa::test::solidImage(40, 20, qRgb(0, 90, 200)));
    QTest::mouseClick(again.findChild<QPushButton*>("hdDvdTile"), Qt::LeftButton);
    QTest::mouseClick(again.findChild<QPushButton*>("savePdfButton"), Qt::LeftButton);
    ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(again));
    // The CD front, still selected from the print run, has all its room.
    EXPECT_EQ(again.findChild<QLabel*>("printStatus")->text().toStdString(),
              ("Saved 2 covers to " + folder.filePath("hd.pdf") +
               ".\nThe HD-DVD cover's bleed and marks have only 2.7 mm on the right.")
                  .toStdString());
}

} // namespace
