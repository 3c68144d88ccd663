// Covers printed for real: the print dialog and QtCoverPrinter on a private cupsd whose
// printers keep every job's PDF, measured with poppler's tools.
#include "CupsTestServer.h"
#include "FakeCoverHost.h"
#include "PdfProbe.h"
#include "QtPrinting.h"

#include <CoverFormats.h>
#include <CoverSelect.h>
#include <ProgramFolder.h>
#include <QtCoverPrinter.h>
#include <Settings.h>
#include <SystemPrinters.h>

#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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

int slotNumber(const CoverFormat& kind) {
    return QString(kind.slot).mid(5).toInt();
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

// The printable area's top-left on the test printer for this kind's paper and orientation,
// in points, as the printing system defines it.
QPointF printableOrigin(const CoverFormat& kind) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QStringLiteral("alpha"));
    printer.setPageSize(
        QPageSize(kind.paper == kPaperLegal ? QPageSize::Legal : QPageSize::Letter));
    printer.setPageOrientation(kind.orientation == kLandscape ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    return printer.pageRect(QPrinter::Point).topLeft();
}

// Checks one job's PDF: one page of the kind's paper in its orientation, holding the
// picture of `colour` at the printable area's top-left at the kind's size.
void expectCoverPage(const QString& pdf, const CoverFormat& kind, QRgb colour) {
    SCOPED_TRACE(kind.key);
    const auto pages = vexa::test::pdfPageSizes(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const double longSide = kind.paper == kPaperLegal ? 1008 : 792;
    const QSizeF expectedPage =
        kind.orientation == kLandscape ? QSizeF(longSide, 612) : QSizeF(612, longSide);
    EXPECT_EQ(pages[0], expectedPage);

    const QImage page = vexa::test::renderPdfPage(pdf, 1, kDpi);
    ASSERT_FALSE(page.isNull());
    const QRect box = vexa::test::inkBox(page);
    const QPointF origin = printableOrigin(kind);
    ASSERT_NE(origin, QPointF(0, 0)); // the printer has margins
    EXPECT_NEAR(box.left(), origin.x(), kTolerance);
    EXPECT_NEAR(box.top(), origin.y(), kTolerance);
    EXPECT_NEAR(box.width(), kind.width / 20.0, kTolerance); // 20 twips per point
    EXPECT_NEAR(box.height(), kind.height / 20.0, kTolerance);
    EXPECT_TRUE(near(page.pixel(box.center()), colour));
}

class CupsPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        ASSERT_TRUE(folder.isValid());
        vexa::setProgramFolderForTesting(folder.path());
    }
    void TearDown() override { vexa::setProgramFolderForTesting(QString()); }

    void fillAllSlots() {
        for (int n = 1; n <= 11; ++n)
            host.putPicture(QStringLiteral("Image%1").arg(n), solid(40, 30, slotColour(n)));
    }

    // Opens "Print Covers" with the given kinds saved as selected and presses Print.
    QString printWithDialog(const QStringList& keys) {
        for (const CoverFormat& kind : kCoverFormats)
            vexa::writeSetting(kind.key, keys.contains(kind.key) ? "-1" : "0");
        CoverSelect dialog(host);
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdPrint"), Qt::LeftButton);
        EXPECT_TRUE(server.waitUntilIdle());
        return dialog.findChild<QLabel*>("Label1")->text();
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
    FakeCoverHost host;
};

} // namespace

TEST_F(CupsPrintTest, AllElevenKindsOneJobEachInTableOrder) {
    fillAllSlots();
    QStringList all;
    for (const CoverFormat& kind : kCoverFormats) all << kind.key;
    EXPECT_EQ(printWithDialog(all), "Printing Complete.");

    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 11);
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i) {
        const CoverFormat& kind = kCoverFormats[i];
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
    expectCoverPage(jobs[0], *coverFormatForKey("Inside"), slotColour(2));
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
    EXPECT_EQ(printWithDialog({"Front", "DS"}), "No printer available.");
    EXPECT_EQ(vexa::readSetting("Front"), "-1");
    EXPECT_EQ(vexa::readSetting("DS"), "-1");
    EXPECT_EQ(vexa::readSetting("DVD"), "0");
}

TEST_F(CupsPrintTest, EachDocumentGoesToTheDefaultOfItsStart) {
    QtCoverPrinter printer;
    ASSERT_TRUE(printer.followDefault());
    ASSERT_TRUE(printer.drawPicture(solid(10, 10, slotColour(1)), 0, 0, 1440, 1440));
    ASSERT_TRUE(printer.endDocument());
    ASSERT_TRUE(saveUserDefaultPrinter("beta"));
    ASSERT_TRUE(printer.drawPicture(solid(10, 10, slotColour(2)), 0, 0, 1440, 1440));
    ASSERT_TRUE(printer.endDocument());
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_EQ(server.jobFiles("alpha").size(), 1);
    EXPECT_EQ(server.jobFiles("beta").size(), 1);
}

TEST_F(CupsPrintTest, ANamedPrinterMustBeInstalled) {
    QtCoverPrinter printer;
    EXPECT_FALSE(printer.usePrinter("gamma"));
    EXPECT_FALSE(printer.usePrinter(""));
    ASSERT_TRUE(printer.usePrinter("beta"));
    ASSERT_TRUE(printer.setPaperSize(kPaperLegal));
    ASSERT_TRUE(printer.setOrientation(kLandscape));
    ASSERT_TRUE(printer.drawPicture(solid(10, 10, slotColour(3)), 0, 0, 2880, 1440));
    ASSERT_TRUE(printer.endDocument());
    ASSERT_TRUE(server.waitUntilIdle());
    EXPECT_TRUE(server.jobFiles("alpha").isEmpty());
    const QStringList jobs = server.jobFiles("beta");
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(vexa::test::pdfPageSizes(jobs[0]), std::vector<QSizeF>({QSizeF(1008, 612)}));
}
