// Covers printed for real: the print dialog and CupsCoverPrinter on a private cupsd whose
// printers keep every job's PDF, measured with poppler's tools. Expected corners come from
// the test PPDs' ImageableArea numbers.
#include "support/CupsTestServer.h"
#include "support/FakeCoverHost.h"
#include "support/PdfProbe.h"
#include "support/PrintDialogWait.h"
#include "support/QtPrinting.h"

#include "core/base/ProgramFolder.h"
#include "core/cover/CoverFormats.h"
#include "core/cups/JobSubmission.h"
#include "core/cups/SystemPrinters.h"
#include "core/pdf/PdfPageWriter.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/PreviewPages.h"
#include "core/printing/PrintJob.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/Settings.h"
#include "print/CoverPreview.h"
#include "print/PrintDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/SlotAccess.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vexa;
using namespace vexa::print;
using vexa::test::FakeCoverHost;

namespace {

constexpr int kDpi = 72; // one pixel per point
constexpr double kTolerance = 1.5;

// A distinct colour for the picture of slot n.
QRgb slotColour(int n) {
    static const QRgb colours[] = {qRgb(200, 0, 0),   qRgb(0, 140, 0),   qRgb(0, 0, 200),
                                   qRgb(200, 120, 0), qRgb(140, 0, 140), qRgb(0, 140, 140),
                                   qRgb(90, 60, 20),  qRgb(0, 0, 0),     qRgb(120, 120, 0),
                                   qRgb(60, 0, 120),  qRgb(160, 60, 90)};
    return colours[n - 1];
}

int slotNumber(const cover::CoverFormat& kind) {
    return vexa::test::slotObjectName(kind.id).mid(5).toInt();
}

QImage solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

// The unprintable margins of the paper as it feeds (portrait), in points.
struct PaperMargins {
    double left, bottom, right, top;
};
// "alpha" and "beta": ImageableArea "18 36 594 756" on Letter, "18 36 594 972" on Legal.
constexpr PaperMargins kAlphaMargins{18, 36, 18, 36};

// Where the cover of a kind lies on portrait paper of `paper` points as the printer gets it,
// in points from the paper's top-left corner. A portrait cover stands at the printable
// top-left corner. A landscape cover is turned the way the printer turns landscape pages, its
// top-left corner where the landscape page's would be: Plus90 counter-clockwise at the
// paper's bottom-left printable corner, Minus90 clockwise at the top-right one.
QRectF coverOnPaper(const cover::CoverFormat& kind, QSizeF paper, PaperMargins m,
                    const char* turn = "Plus90") {
    const double w = kind.width.count() / 20.0,
                 h = kind.height.count() / 20.0; // 20 twips per point
    if (kind.orientation != cover::Orientation::Landscape) return QRectF(m.left, m.top, w, h);
    if (QLatin1String(turn) == QLatin1String("Minus90"))
        return QRectF(paper.width() - m.right - h, m.top, h, w);
    return QRectF(m.left, paper.height() - m.bottom - w, h, w);
}

// Checks one job's PDF: one page of `expectedPage` points, holding the picture of `colour`
// at `where`.
void expectCoverPage(const QString& pdf, const cover::CoverFormat& kind, QRgb colour,
                     QSizeF expectedPage, QRectF where) {
    SCOPED_TRACE(kind.key);
    const auto pages = vexa::test::pdfPageSizes(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], expectedPage);

    // Two pixels per point: a cover edge that falls inside a pixel is seen to half a point.
    const QImage page = vexa::test::renderPdfPage(pdf, 1, 2 * kDpi);
    ASSERT_FALSE(page.isNull());
    const QRect box = vexa::test::inkBox(page);
    const QRectF points(box.left() / 2.0, box.top() / 2.0, box.width() / 2.0, box.height() / 2.0);
    EXPECT_NEAR(points.left(), where.left(), 1.0);
    EXPECT_NEAR(points.top(), where.top(), 1.0);
    EXPECT_NEAR(points.right(), where.right(), 1.0);
    EXPECT_NEAR(points.bottom(), where.bottom(), 1.0);
    EXPECT_TRUE(near(page.pixel(box.center()), colour));
}

// The paper of a kind on the cover table's papers, portrait as it feeds.
QSizeF tablePaper(const cover::CoverFormat& kind) {
    return QSizeF(612, kind.paper == cover::Paper::Legal ? 1008 : 792);
}

void expectCoverPage(const QString& pdf, const cover::CoverFormat& kind, QRgb colour) {
    expectCoverPage(pdf, kind, colour, tablePaper(kind),
                    coverOnPaper(kind, tablePaper(kind), kAlphaMargins));
}

class CupsPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        ASSERT_TRUE(folder.isValid());
        vexa::base::setProgramFolderForTesting(folder.path());
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    void fillAllSlots() {
        for (int n = 1; n <= 11; ++n)
            host.putPicture(QStringLiteral("Image%1").arg(n), solid(40, 30, slotColour(n)));
    }

    // Opens "Print Covers" with the given kinds saved as selected and presses Print.
    QString printWithDialog(const QStringList& keys) {
        for (const cover::CoverFormat& kind : cover::kCoverFormats)
            vexa::settings::writeSetting(kind.key, keys.contains(kind.key) ? "-1" : "0");
        PrintDialog dialog(host.covers());
        QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
        EXPECT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
        EXPECT_TRUE(server.waitUntilIdle());
        return dialog.findChild<QLabel*>("printStatus")->text();
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
    FakeCoverHost host;
};

} // namespace

TEST_F(CupsPrintTest, AllElevenKindsOneJobEachInTableOrder) {
    fillAllSlots();
    QStringList all;
    for (const cover::CoverFormat& kind : cover::kCoverFormats) all << kind.key;
    // HD and Blu-ray (10.5 in) start 0.5 in from the left of an 11 in page whose right
    // margin is 0.5 in: 36 pt, 12.7 mm, are cut off on the right.
    EXPECT_EQ(printWithDialog(all),
              "Printing Complete.\n"
              "The printer's margins cut off 12.7 mm on the right of the HD-DVD cover.\n"
              "The printer's margins cut off 12.7 mm on the right of the Blu-ray cover.");

    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 11);
    for (std::size_t i = 0; i < cover::kCoverFormats.size(); ++i) {
        const cover::CoverFormat& kind = cover::kCoverFormats[i];
        expectCoverPage(jobs[static_cast<qsizetype>(i)], kind, slotColour(slotNumber(kind)));
    }
    EXPECT_TRUE(server.jobFiles("beta").isEmpty());
}

TEST_F(CupsPrintTest, AWidePictureIsStretchedToTheSquareFront) {
    // 300 x 100: the left third red, the rest blue.
    QImage picture = solid(300, 100, qRgb(0, 0, 200));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) picture.setPixel(x, y, qRgb(200, 0, 0));
    host.putPicture("Image1", picture);
    printWithDialog({"Front"});

    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 1);
    const QImage page = vexa::test::renderPdfPage(jobs[0], 1, kDpi);
    const QRect box = vexa::test::inkBox(page);
    EXPECT_NEAR(box.width(), 342, kTolerance); // 4.75 in
    EXPECT_NEAR(box.height(), 342, kTolerance);
    // Neither cropped nor letter-boxed: red spans a third of the width and all the height.
    const QRect red = vexa::test::colourBox(page, qRgb(200, 0, 0));
    EXPECT_NEAR(red.width(), 114, kTolerance);
    EXPECT_NEAR(red.height(), 342, kTolerance);
    EXPECT_EQ(red.topLeft(), box.topLeft());
}

TEST_F(CupsPrintTest, EmptySlotGivesNoJobAndTheNextKindPrints) {
    host.putPicture("Image2", solid(40, 40, slotColour(2)));
    EXPECT_EQ(printWithDialog({"Front", "Inside"}), "Printing Complete.");
    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 1);
    expectCoverPage(jobs[0], *cover::coverFormatForKey("Inside"), slotColour(2));
}

TEST_F(CupsPrintTest, ThePictureGoesOutAtItsFullResolution) {
    QImage picture(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    host.putPicture("Image3", picture);
    printWithDialog({"Back"});
    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 1);
    const auto images = vexa::test::pdfImageSizes(jobs[0]);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0], QSize(1600, 1200));
}

TEST_F(CupsPrintTest, NoPrinterAtAllSaysSoAndKeepsTheSelection) {
    fillAllSlots();
    QString error;
    ASSERT_TRUE(server.deletePrinter("alpha", &error)) << error.toStdString();
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    EXPECT_EQ(printWithDialog({"Front", "DS"}),
              "No printer was found. Add a printer in your system's printer settings.");
    EXPECT_EQ(vexa::settings::readSetting("Front"), "-1");
    EXPECT_EQ(vexa::settings::readSetting("DS"), "-1");
    EXPECT_EQ(vexa::settings::readSetting("DVD"), "0");
}

TEST_F(CupsPrintTest, EachDocumentGoesToTheDefaultOfItsStart) {
    printing::CupsCoverPrinter printer;
    ASSERT_TRUE(printer.followDefault());
    ASSERT_TRUE(printer.drawPicture(
        vexa::picture::LoadedPicture::made(solid(10, 10, slotColour(1))), vexa::base::Twips(0),
        vexa::base::Twips(0), vexa::base::Twips(1440), vexa::base::Twips(1440)));
    ASSERT_TRUE(printer.endDocument().sent);
    ASSERT_TRUE(cups::saveUserDefaultPrinter("beta"));
    ASSERT_TRUE(printer.drawPicture(
        vexa::picture::LoadedPicture::made(solid(10, 10, slotColour(2))), vexa::base::Twips(0),
        vexa::base::Twips(0), vexa::base::Twips(1440), vexa::base::Twips(1440)));
    ASSERT_TRUE(printer.endDocument().sent);
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_EQ(server.jobFiles("alpha").size(), 1);
    EXPECT_EQ(server.jobFiles("beta").size(), 1);
}

TEST_F(CupsPrintTest, ANamedPrinterMustBeInstalled) {
    printing::CupsCoverPrinter printer;
    EXPECT_FALSE(printer.usePrinter("gamma"));
    EXPECT_FALSE(printer.usePrinter(""));
    ASSERT_TRUE(printer.usePrinter("beta"));
    ASSERT_TRUE(printer.setPaperSize(cover::Paper::Legal));
    ASSERT_TRUE(printer.setOrientation(cover::Orientation::Landscape));
    ASSERT_TRUE(printer.drawPicture(
        vexa::picture::LoadedPicture::made(solid(10, 10, slotColour(3))), vexa::base::Twips(0),
        vexa::base::Twips(0), vexa::base::Twips(2880), vexa::base::Twips(1440)));
    ASSERT_TRUE(printer.endDocument().sent);
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
    const QStringList jobs = server.jobFiles("beta");
    ASSERT_EQ(jobs.size(), 1);
    // Portrait as the paper feeds; the landscape cover is turned on it.
    EXPECT_EQ(vexa::test::pdfPageSizes(jobs[0]), std::vector<QSizeF>({QSizeF(612, 1008)}));
}

namespace {

// Collects what a run tells, and runs `afterCover` between covers.
struct RunLog : printing::PrintProgress {
    void coverStarted(const cover::CoverFormat&) override {}
    void coverFinished(const cover::CoverFormat& kind,
                       const printing::DocumentResult& result) override {
        results << (result.sent ? QStringLiteral("%1 sent").arg(kind.key)
                                : printing::coverNotice(kind, result));
    }
    bool continueAfterCover() override {
        if (afterCover) afterCover();
        return true;
    }
    QStringList results;
    std::function<void()> afterCover;
};

vexa::cover::CoverKinds only(const QStringList& keys) {
    vexa::cover::CoverKinds flags;
    for (std::size_t i = 0; i < cover::kCoverFormats.size(); ++i)
        if (keys.contains(cover::kCoverFormats[i].key)) flags |= cover::kCoverFormats[i].id;
    return flags;
}

} // namespace

TEST_F(CupsPrintTest, TheCornerIsThePrintableCornerOfThePageAsThePrinterTurnsIt) {
    // Four different margins on Letter and Legal: left 10, bottom 20, right 35, top 45.
    vexa::test::TestPpd ppd;
    ppd.letterArea = "10 20 577 747";
    ppd.legalArea = "10 20 577 963";
    const PaperMargins margins{10, 20, 35, 45};
    fillAllSlots();
    for (const char* turn : {"Plus90", "Minus90"}) {
        SCOPED_TRACE(turn);
        const QString name = QStringLiteral("turn%1").arg(turn);
        ppd.landscape = turn;
        QString error;
        ASSERT_TRUE(server.addPrinter(name, &error, ppd)) << error.toStdString();
        printing::CupsCoverPrinter printer;
        ASSERT_TRUE(printer.usePrinter(name));
        RunLog log;
        printing::printSelectedCovers(only({"Front", "Mini", "DVD"}), host.covers().records(),
                                      printer, log);
        EXPECT_EQ(log.results, QStringList({"Front sent", "Mini sent", "DVD sent"}));
        ASSERT_TRUE(server.waitUntilIdle());
        const QStringList jobs = server.jobFiles(name);
        ASSERT_EQ(jobs.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const cover::CoverFormat& kind =
                *cover::coverFormatForKey(QStringList{"Front", "Mini", "DVD"}[i]);
            expectCoverPage(jobs[i], kind, slotColour(slotNumber(kind)), tablePaper(kind),
                            coverOnPaper(kind, tablePaper(kind), margins, turn));
        }
    }
}

TEST_F(CupsPrintTest, PdftopdfLeavesEachCoverAtThePrintableCornerAtItsSize) {
    // Margins left 10, bottom 20, right 35, top 45 pt on Letter and Legal.
    vexa::test::TestPpd ppd;
    ppd.letterArea = "10 20 577 747";
    ppd.legalArea = "10 20 577 963";
    constexpr double kPointsPerMm = 72 / 25.4;
    // The covers' sizes in millimetres, as the cases' makers give them.
    const struct {
        const char* key;
        double widthMm, heightMm;
    } covers[] = {{"Front", 120.65, 120.65}, {"DVD", 271.4625, 180.975}, {"PSP", 209.55, 168.275}};
    fillAllSlots();
    for (const char* turn : {"Plus90", "Minus90"}) {
        SCOPED_TRACE(turn);
        const QString name = QStringLiteral("filtered%1").arg(turn);
        ppd.landscape = turn;
        QString error;
        ASSERT_TRUE(server.addPrinter(name, &error, ppd)) << error.toStdString();
        printing::CupsCoverPrinter printer;
        ASSERT_TRUE(printer.usePrinter(name));
        RunLog log;
        printing::printSelectedCovers(only({"Front", "DVD", "PSP"}), host.covers().records(),
                                      printer, log);
        ASSERT_TRUE(server.waitUntilIdle());
        const QStringList jobs = server.jobFiles(name);
        ASSERT_EQ(jobs.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const cover::CoverFormat& kind = *cover::coverFormatForKey(covers[i].key);
            const QString options = server.jobOptions(jobs[i]);
            EXPECT_TRUE(options.contains("orientation-requested=3")) << options.toStdString();
            EXPECT_TRUE(options.contains("print-scaling=none")) << options.toStdString();
            const QString filtered = folder.filePath(QStringLiteral("%1-%2.pdf").arg(name).arg(i));
            ASSERT_TRUE(server.throughPdftopdf(jobs[i], name, filtered, &error))
                << error.toStdString();
            // Portrait paper; a landscape cover lies turned across it as the printer turns.
            const QSizeF paper = tablePaper(kind);
            const double w = covers[i].widthMm * kPointsPerMm,
                         h = covers[i].heightMm * kPointsPerMm;
            QRectF where(10, 45, w, h);
            if (kind.orientation == cover::Orientation::Landscape)
                where = QLatin1String(turn) == QLatin1String("Plus90")
                            ? QRectF(10, paper.height() - 20 - w, h, w)
                            : QRectF(paper.width() - 35 - h, 45, h, w);
            expectCoverPage(filtered, kind, slotColour(slotNumber(kind)), paper, where);
        }
    }
}

TEST_F(CupsPrintTest, OnA4EveryCoverKeepsItsSizeAndAPrinterWithoutA4GetsNoJob) {
    vexa::test::TestPpd ppd;
    ppd.a4Area = "18 36 577 806"; // margins left 18, bottom 36, right 18, top 36 on 595 x 842
    QString error;
    ASSERT_TRUE(server.addPrinter("gamma", &error, ppd)) << error.toStdString();
    ASSERT_TRUE(server.setServerDefault("gamma", &error)) << error.toStdString();
    fillAllSlots();
    vexa::settings::ProfileFile(vexa::settings::settingsFilePath()).write("PRINT", "Paper", "A4");
    EXPECT_EQ(printWithDialog({"Front", "DVD"}), "Printing Complete.");
    const QStringList jobs = server.jobFiles("gamma");
    ASSERT_EQ(jobs.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const cover::CoverFormat& kind = *cover::coverFormatForKey(QStringList{"Front", "DVD"}[i]);
        expectCoverPage(jobs[i], kind, slotColour(slotNumber(kind)), {595, 842},
                        coverOnPaper(kind, {595, 842}, kAlphaMargins));
    }

    // "alpha" lists Letter and Legal only.
    ASSERT_TRUE(server.setServerDefault("alpha", &error)) << error.toStdString();
    EXPECT_EQ(printWithDialog({"Front"}),
              "The CD front cover was not printed: printer alpha has no A4 paper.");
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
}

TEST_F(CupsPrintTest, ADitheredPictureReachesThePrinterPixelForPixel) {
    // 640 x 427 black and white, as the editor's dithers leave it.
    QImage picture(640, 427, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            picture.setPixel(x, y, (seed >> 16) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    host.putPicture("Image1", picture);
    printWithDialog({"Front"});
    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 1);
    const QImage extracted = vexa::test::firstPdfImage(jobs[0]);
    ASSERT_EQ(extracted.size(), picture.size());
    int changed = 0;
    const QImage back = extracted.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            changed += back.pixel(x, y) != picture.pixel(x, y);
    EXPECT_EQ(changed, 0);
}

// The status line says what became of the jobs: a paused default printer holds the covers,
// and a job the printer's filters stop is not "Printing Complete.".
TEST_F(CupsPrintTest, APausedPrinterOrAStoppedJobIsSaidInsteadOfComplete) {
    fillAllSlots();
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(
            kind.key,
            kind.key == QLatin1String("Front") || kind.key == QLatin1String("Back") ? "-1" : "0");
    const auto print = [this](std::unique_ptr<printing::CupsCoverPrinter> printer) {
        PrintDialog dialog(host.covers(), std::move(printer));
        QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
        EXPECT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
        return dialog.findChild<QLabel*>("printStatus")->text().toStdString();
    };
    QString error;
    ASSERT_TRUE(server.addPrinter("office", &error)) << error.toStdString();
    ASSERT_TRUE(server.pausePrinter("office", &error)) << error.toStdString();
    ASSERT_TRUE(server.setServerDefault("office", &error)) << error.toStdString();
    EXPECT_EQ(print(std::make_unique<printing::CupsCoverPrinter>()),
              "Printer office is paused: the covers wait in its queue.");
    EXPECT_EQ(server.queuedJobs("office").size(), 2);

    vexa::test::TestPpd ppd;
    ppd.refusing = true;
    ASSERT_TRUE(server.addPrinter("refusing", &error, ppd)) << error.toStdString();
    ASSERT_TRUE(server.setServerDefault("refusing", &error)) << error.toStdString();
    // Followed until CUPS has stopped the jobs, however long that takes here.
    auto printer = std::make_unique<printing::CupsCoverPrinter>();
    printer->setJobFollowTime(std::chrono::minutes(2));
    const QStringList lines = QString::fromStdString(print(std::move(printer))).split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("The CD front cover was not printed: printer refusing "
                                    "stopped the job, saying \""))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("The CD back cover was not printed: printer refusing "
                                    "stopped the job, saying \""))
        << lines[1].toStdString();
}

TEST_F(CupsPrintTest, APrinterGoneBetweenCoversOrAStoppedServerIsReported) {
    fillAllSlots();
    printing::CupsCoverPrinter printer;
    ASSERT_TRUE(printer.usePrinter("beta"));
    RunLog log;
    log.afterCover = [this] {
        QString error;
        server.waitUntilIdle();
        server.deletePrinter("beta", &error);
    };
    printing::printSelectedCovers(only({"Front", "Inside"}), host.covers().records(), printer, log);
    EXPECT_EQ(log.results,
              QStringList({"Front sent", "The CD inside cover was not printed: printer beta is "
                                         "not available."}));

    // The same page is taken while the server runs, and refused once the printer turns jobs
    // down or the server has stopped, each time with the reason in plain words.
    const QString page = folder.filePath("page.pdf");
    vexa::cover::PageContent content(QSizeF(612, 792));
    content.addPicture(vexa::cover::PageImage(solid(4, 4, slotColour(1))), QRectF(0, 0, 72, 72));
    ASSERT_TRUE(vexa::pdf::writePdfFile(page, {content}));
    QString error;
    EXPECT_GT(
        cups::submitPdfJob("alpha", page, cups::JobContent::Covers, cover::Paper::Letter, &error),
        0);
    ASSERT_TRUE(server.waitUntilIdle());
    ASSERT_TRUE(server.rejectJobs("alpha", &error)) << error.toStdString();
    EXPECT_EQ(
        cups::submitPdfJob("alpha", page, cups::JobContent::Covers, cover::Paper::Letter, &error),
        0);
    EXPECT_EQ(error, "printer alpha refused the job because it is not accepting jobs");
    server.halt();
    EXPECT_EQ(
        cups::submitPdfJob("alpha", page, cups::JobContent::Covers, cover::Paper::Letter, &error),
        0);
    EXPECT_EQ(error, "the print server cannot be reached");
    vexa::settings::writeSetting("Front", "-1");
    PrintDialog dialog(host.covers());
    QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
    EXPECT_EQ(dialog.findChild<QLabel*>("printStatus")->text(),
              "The print server cannot be reached. Check that CUPS is running.");
    ASSERT_TRUE(server.resume(&error)) << error.toStdString();
}

TEST_F(CupsPrintTest, PreviewPagesAreThePagesAsTheyWillPrintWithOrWithoutAPrinter) {
    fillAllSlots();
    host.putPicture("Image2", QImage()); // Inside selected but empty: no page
    const vexa::cover::CoverKinds flags = only({"Front", "Inside", "DVD", "HD"});
    const struct {
        const char* printer;
        cover::PaperChoice paper;
        std::vector<QSizeF> pages;
        std::vector<QRectF> printable; // null: no outline
        std::vector<QPointF> corners;
    } cases[] = {
        // alpha: paper margins left 18, bottom 36, right 18, top 36, turned Plus90.
        {"alpha",
         cover::PaperChoice::LetterLegal,
         {{612, 792}, {1008, 612}, {792, 612}},
         {{18, 36, 576, 720}, {36, 18, 936, 576}, {36, 18, 720, 576}},
         {{18, 36}, {36, 18}, {36, 18}}},
        {"",
         cover::PaperChoice::LetterLegal,
         {{612, 792}, {1008, 612}, {792, 612}},
         {{}, {}, {}},
         {{0, 0}, {0, 0}, {0, 0}}},
        {"",
         cover::PaperChoice::A4,
         {{595, 842}, {842, 595}, {842, 595}},
         {{}, {}, {}},
         {{0, 0}, {0, 0}, {0, 0}}},
    };
    const QStringList keys{"Front", "DVD", "HD"};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.printer) +
                     (c.paper == cover::PaperChoice::A4 ? " A4" : " Letter"));
        const std::vector<printing::PreviewPage> pages =
            printing::previewPages(flags, host.covers().records(), c.paper, c.printer);
        ASSERT_EQ(pages.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const cover::CoverFormat& kind =
                *cover::coverFormatForKey(keys[static_cast<qsizetype>(i)]);
            EXPECT_EQ(pages[i].kind, &kind);
            EXPECT_EQ(pages[i].page.page, c.pages[i]);
            EXPECT_EQ(pages[i].page.printable.isNull(), c.printable[i].isNull());
            if (!c.printable[i].isNull()) {
                EXPECT_NEAR(pages[i].page.printable.left(), c.printable[i].left(), 0.1);
                EXPECT_NEAR(pages[i].page.printable.top(), c.printable[i].top(), 0.1);
                EXPECT_NEAR(pages[i].page.printable.width(), c.printable[i].width(), 0.1);
                EXPECT_NEAR(pages[i].page.printable.height(), c.printable[i].height(), 0.1);
            }
            EXPECT_NEAR(pages[i].page.cover.left(), c.corners[i].x(), 0.1);
            EXPECT_NEAR(pages[i].page.cover.top(), c.corners[i].y(), 0.1);
            EXPECT_EQ(pages[i].page.cover.size(),
                      QSizeF(kind.width.count() / 20, kind.height.count() / 20));
        }
    }
}

TEST_F(CupsPrintTest, ThePreviewWindowPagesAndZoomsAndChangesNothing) {
    fillAllSlots();
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(
            kind.key, QString(kind.key) == "Mini" || QString(kind.key) == "PSP" ? "-1" : "0");
    const QByteArray settingsBefore = [] {
        QFile file(vexa::settings::settingsFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    PrintDialog dialog(host.covers());
    dialog.findChild<QLabel*>("printStatus")->setText("as it was");
    QStringList seen;
    QImage shot;
    QRectF expectedCover;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<CoverPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        auto* caption = preview->findChild<QLabel*>("pageNumber");
        seen << caption->text();
        // It opens fitted: the page with its margin fills the visible area on one axis.
        const QSize room = preview->findChild<QScrollArea*>()->viewport()->size();
        const QSize opened = preview->findChild<QWidget*>("previewPage")->size();
        EXPECT_TRUE(std::abs(opened.width() - room.width()) <= 2 ||
                    std::abs(opened.height() - room.height()) <= 2)
            << opened.width() << "x" << opened.height() << " in " << room.width() << "x"
            << room.height();
        QTest::mouseClick(preview->findChild<QPushButton*>("nextButton"), Qt::LeftButton);
        seen << caption->text();
        EXPECT_FALSE(preview->findChild<QPushButton*>("nextButton")->isEnabled());
        QTest::mouseClick(preview->findChild<QPushButton*>("actualSizeButton"), Qt::LeftButton);
        const double scale = preview->scale();
        EXPECT_DOUBLE_EQ(scale, preview->logicalDpiX() / 72.0);
        // PSP on alpha: landscape Letter, cover 594 x 477 pt at the corner (36, 18).
        auto* view = preview->findChild<QWidget*>("previewPage");
        shot = view->grab().toImage();
        const double gap = (view->width() - 792 * scale) / 2;
        expectedCover = QRectF(gap + 36 * scale, gap + 18 * scale, 594 * scale, 477 * scale);
        QTest::mouseClick(preview->findChild<QPushButton*>("fitButton"), Qt::LeftButton);
        EXPECT_LT(preview->scale(), scale);
        preview->findChild<QPushButton*>("closeButton")->click();
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>("previewButton"), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({"Page 1 of 2: CD mini cover, Letter landscape",
                                 "Page 2 of 2: PSP cover, Letter landscape"}));
    const QRect box = vexa::test::colourBox(shot, slotColour(6));
    EXPECT_NEAR(box.left(), expectedCover.left(), 2);
    EXPECT_NEAR(box.top(), expectedCover.top(), 2);
    EXPECT_NEAR(box.width(), expectedCover.width(), 2);
    EXPECT_NEAR(box.height(), expectedCover.height(), 2);
    // Nothing was printed, written or said.
    EXPECT_EQ(dialog.findChild<QLabel*>("printStatus")->text(), "as it was");
    QFile file(vexa::settings::settingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), settingsBefore);
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
}

TEST_F(CupsPrintTest, ThePreviewShadesAndTellsWhatTheMarginsCutOffAndNamesThePrinter) {
    fillAllSlots();
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(kind.key, QString(kind.key) == "HD" ? "-1" : "0");
    // HD-DVD on alpha, landscape Letter (792 x 612 pt): printable from (36, 18) to (756, 594),
    // the cover 756 x 423 pt from (36, 18), so x 756 to 792 is cut off: 36 pt, 12.7 mm.
    const struct {
        const char* printer; // the default printer, or none
        const char* printerLine;
        const char* cutLine; // empty: none shown
    } cases[] = {
        {"alpha", "The dashed line is the printable area of printer alpha.",
         "The printer's margins cut off 12.7 mm on the right of the HD-DVD cover."},
        {"", "No default printer: the page is shown without margins.", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printer);
        QString error;
        if (QString(c.printer).isEmpty()) {
            ASSERT_TRUE(server.deletePrinter("alpha", &error)) << error.toStdString();
            ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
        }
        PrintDialog dialog(host.covers());
        QString printerLine, cutLine;
        bool cutShown = false;
        QImage shot;
        double scale = 0, gap = 0;
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<CoverPreview*>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            printerLine = preview->findChild<QLabel*>("printerName")->text();
            auto* cut = preview->findChild<QLabel*>("marginCuts");
            cutShown = cut->isVisible();
            cutLine = cut->text();
            QTest::mouseClick(preview->findChild<QPushButton*>("actualSizeButton"), Qt::LeftButton);
            scale = preview->scale();
            auto* view = preview->findChild<QWidget*>("previewPage");
            shot = view->grab().toImage();
            gap = (view->width() - 792 * scale) / 2;
            preview->findChild<QPushButton*>("closeButton")->click();
        });
        QTest::mouseClick(dialog.findChild<QPushButton*>("previewButton"), Qt::LeftButton);
        EXPECT_EQ(printerLine, c.printerLine);
        EXPECT_EQ(cutShown, *c.cutLine != 0);
        EXPECT_EQ(cutLine, c.cutLine);
        ASSERT_FALSE(shot.isNull());
        const auto at = [&](double x, double y) {
            return shot.pixel(qRound(gap + x * scale), qRound(gap + y * scale));
        };
        const bool cutOff = *c.cutLine != 0;
        const QPointF corner = cutOff ? QPointF(36, 18) : QPointF(0, 0);
        // Inside the printable area the picture as it is; past it, on a printer, shaded.
        EXPECT_TRUE(near(at(corner.x() + 360, corner.y() + 200), slotColour(9)));
        EXPECT_EQ(near(at(corner.x() + 738, corner.y() + 200), slotColour(9)), !cutOff);
        // The cover's outline along its bottom edge, where the paper is white below it.
        const int edgeX = qRound(gap + (corner.x() + 300) * scale);
        const int edgeY = qRound(gap + (corner.y() + 423) * scale);
        bool outlined = false;
        for (int y = edgeY - 2; y <= edgeY + 2; ++y)
            outlined = outlined || near(shot.pixel(edgeX, y), qRgb(40, 40, 40));
        EXPECT_TRUE(outlined);
        EXPECT_EQ(shot.pixel(edgeX, edgeY + 4), qRgb(255, 255, 255));
    }
}

namespace {

// The printer of the print window, with a look at each cover it has sent: `afterSent` runs on
// the run's worker once the server has taken the cover.
class WatchedPrinter final : public printing::CoverPrinter {
public:
    bool followDefault() override { return m_printer.followDefault(); }
    bool setOrientation(cover::Orientation orientation) override {
        return m_printer.setOrientation(orientation);
    }
    bool setPaperSize(cover::Paper paper) override { return m_printer.setPaperSize(paper); }
    bool drawPicture(const vexa::picture::LoadedPicture& picture, vexa::base::Twips x,
                     vexa::base::Twips y, vexa::base::Twips width,
                     vexa::base::Twips height) override {
        return m_printer.drawPicture(picture, x, y, width, height);
    }
    cover::SheetArea sheetArea(cover::Paper paper) override { return m_printer.sheetArea(paper); }
    bool drawSheet(const cover::PageContent& sheet) override { return m_printer.drawSheet(sheet); }
    printing::DocumentResult endDocument() override {
        const printing::DocumentResult result = m_printer.endDocument();
        if (result.sent && afterSent) afterSent();
        return result;
    }
    std::function<void()> afterSent;

private:
    printing::CupsCoverPrinter m_printer;
};

} // namespace

TEST_F(CupsPrintTest, CancelDuringARunLetsTheCoversSentReachTheServerAndNoneAfter) {
    fillAllSlots();
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(
            kind.key,
            QStringList({"Front", "Inside", "Back", "DVD"}).contains(kind.key) ? "-1" : "0");
    auto printer = std::make_unique<WatchedPrinter>();
    WatchedPrinter* watched = printer.get();
    PrintDialog dialog(host.covers(), std::move(printer));
    dialog.show();
    // Activated late (a busy machine), the window would clear the status line under the test.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* cancel = dialog.findChild<QPushButton*>("cancelButton");
    // Cancel is pressed on the window's thread once the second cover has gone out, while the
    // run's worker waits for the click.
    int sent = 0; // the worker's
    watched->afterSent = [&] {
        if (++sent == 2)
            QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::BlockingQueuedConnection);
    };
    QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
    EXPECT_EQ(dialog.findChild<QLabel*>("printStatus")->text(), "Printing Cancelled.");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(sent, 2);

    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const cover::CoverFormat& kind = cover::kCoverFormats[static_cast<std::size_t>(i)];
        expectCoverPage(jobs[i], kind, slotColour(slotNumber(kind)));
    }
}

// On a desktop the print window becomes active again when the preview closes; that return is
// no new activation, so what the last run said stays. Coming back from another window does
// clear it.
TEST_F(CupsPrintTest, ThePreviewLeavesWhatTheLastRunSaidOnTheStatusLine) {
    fillAllSlots();
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(kind.key, QString(kind.key) == "PSP" ? "-1" : "0");
    PrintDialog dialog(host.covers());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::mouseClick(dialog.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
    ASSERT_TRUE(server.waitUntilIdle());
    auto* status = dialog.findChild<QLabel*>("printStatus");
    ASSERT_EQ(status->text(), "Printing Complete.");

    bool previewActive = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<CoverPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        previewActive = QTest::qWaitForWindowActive(preview);
        preview->findChild<QPushButton*>("closeButton")->click();
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>("previewButton"), Qt::LeftButton);
    ASSERT_TRUE(previewActive);
    // What the window manager does once the preview is gone.
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(status->text(), "Printing Complete.");

    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(status->text(), "");
}

// Enter presses the button that has the focus: Cancel cancels and a cover's tile toggles it;
// only where no other button has the focus does Enter print.
TEST_F(CupsPrintTest, EnterPressesTheFocusedButtonAndPrintsOnlyFromElsewhere) {
    host.putPicture("Image1", solid(40, 40, slotColour(1)));
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(kind.key, kind.id == cover::CoverKind::Front ? "-1" : "0");
    {
        PrintDialog dialog(host.covers());
        dialog.show();
        auto* front = dialog.findChild<QPushButton*>("frontTile");
        ASSERT_NE(front, nullptr);
        QTest::keyClick(front, Qt::Key_Return);
        EXPECT_FALSE(dialog.selection().testFlag(cover::CoverKind::Front));
        QTest::keyClick(front, Qt::Key_Enter);
        EXPECT_TRUE(dialog.selection().testFlag(cover::CoverKind::Front));
        QTest::keyClick(dialog.findChild<QPushButton*>("cancelButton"), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.isPrinting());
    }
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());

    PrintDialog dialog(host.covers());
    dialog.show();
    QTest::keyClick(dialog.findChild<QComboBox*>("paperChoice"), Qt::Key_Return);
    ASSERT_TRUE(vexa::test::waitUntilPrintDialogIdle(dialog));
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_EQ(server.jobFiles("alpha").size(), 1);
}

TEST_F(CupsPrintTest, ThePrintWindowNamesThePrinterItWillUse) {
    QString error;
    ASSERT_TRUE(server.setServerDefault("beta", &error)) << error.toStdString();
    EXPECT_EQ(PrintDialog(host.covers()).findChild<QLabel*>("printerName")->text(),
              "Printer: beta");
    ASSERT_TRUE(server.deletePrinter("alpha", &error)) << error.toStdString();
    ASSERT_TRUE(server.deletePrinter("beta", &error)) << error.toStdString();
    EXPECT_EQ(PrintDialog(host.covers()).findChild<QLabel*>("printerName")->text(),
              "No printer was found. Add a printer in your system's printer settings.");
}

// Packed on alpha's Letter (576 x 720 pt printable from 18, 36): the CD front, inside and mini
// covers on one sheet (the mini, 234 pt wide, beside the 342 pt front), the CD back on a
// second, and the Vita cover (616.5 x 355 pt, so turned) on a third.
TEST_F(CupsPrintTest, ThePreviewShowsThePackedSheetsWithEachCoverOutlinedAndNamed) {
    fillAllSlots();
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        vexa::settings::writeSetting(
            kind.key, QStringList({"Front", "Inside", "Back", "Mini", "VITA"}).contains(kind.key)
                          ? "-1"
                          : "0");
    PrintDialog dialog(host.covers());
    dialog.findChild<QComboBox*>("sheetsChoice")->setCurrentIndex(1);
    QStringList captions;
    QString count;
    QImage shot;
    double scale = 0, gap = 0;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<CoverPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        count = preview->findChild<QLabel*>("sheetCount")->text();
        QTest::mouseClick(preview->findChild<QPushButton*>("actualSizeButton"), Qt::LeftButton);
        scale = preview->scale();
        auto* view = preview->findChild<QWidget*>("previewPage");
        shot = view->grab().toImage();
        gap = (view->width() - 612 * scale) / 2;
        for (int page = 0; page < preview->pageCount(); ++page) {
            preview->showPage(page);
            captions << preview->findChild<QLabel*>("pageNumber")->text();
        }
        preview->findChild<QPushButton*>("closeButton")->click();
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>("previewButton"), Qt::LeftButton);
    EXPECT_EQ(count, "3 sheets instead of 5.");
    EXPECT_EQ(captions,
              QStringList({"Sheet 1 of 3: CD Front, CD Inside, CD Mini on Letter",
                           "Sheet 2 of 3: CD Back on Letter", "Sheet 3 of 3: Vita on Letter"}));
    ASSERT_FALSE(shot.isNull());
    const auto at = [&](double x, double y) {
        return shot.pixel(qRound(gap + x * scale), qRound(gap + y * scale));
    };
    // The mini at (360, 36), 234 x 248.4 pt: its picture, its outline just below it on white
    // paper, and a light patch with its name at its top-left corner.
    EXPECT_TRUE(near(at(360 + 117, 36 + 200), slotColour(5)));
    bool outlined = false;
    for (double y = 36 + 248.4 - 1; y <= 36 + 248.4 + 1; y += 0.25)
        outlined = outlined || near(at(360 + 117, y), qRgb(40, 40, 40));
    EXPECT_TRUE(outlined);
    EXPECT_GT(qGray(at(360 + 2, 36 + 2)), 200);
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
}
