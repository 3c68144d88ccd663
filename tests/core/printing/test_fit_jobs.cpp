// Fill and Fit in PDF files, jobs and the preview, measured on pages rendered by poppler
// (pdftoppm) against arithmetic on the picture's pixels and the cover's size, and Stretch
// against files the previous VEXA wrote.
#include "support/CupsTestServer.h"
#include "support/PdfProbe.h"
#include "support/TestSupport.h"

#include "cli/PrintCommand.h"
#include "core/base/ProgramFolder.h"
#include "core/pdf/PagePainter.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/PdfExport.h"
#include "core/printing/PreviewPages.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexa;
using cover::CoverFit;
using cover::CoverKind;
using cover::Framing;

namespace {

constexpr int kDpi = 288; // 4 pixels to the point
constexpr double kMm = 72.0 / 25.4;
constexpr QRgb kGrey = 0xff808080, kEdge = 0xffe0d000, kGreen = 0xff10a040, kRed = 0xffd02020,
               kBlue = 0xff2030c0;

// 384 x 96 (or 96 x 384 turned): grey, the picture's own left edge yellow (columns 0 to 7),
// columns 72 to 95 green, a red square at 96 to 143 across and 24 to 71 down, a blue one at
// 192 to 239 across. Every edge on a multiple of 8, so a JPEG keeps them sharp.
QImage cells(bool tall = false) {
    QImage picture(tall ? QSize(96, 384) : QSize(384, 96), QImage::Format_RGB32);
    picture.fill(kGrey);
    const auto paint = [&](int x, int y, int w, int h, QRgb colour) {
        QPainter(&picture).fillRect(tall ? QRect(y, x, h, w) : QRect(x, y, w, h), colour);
    };
    paint(0, 0, 8, 96, kEdge);
    paint(72, 0, 24, 96, kGreen);
    paint(96, 24, 48, 48, kRed);
    paint(192, 24, 48, 48, kBlue);
    return picture;
}

QByteArray jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

// A box of the rendered page in points; empty when the colour is not there.
QRectF inPoints(const QRect& box) {
    if (box.isEmpty()) return QRectF();
    return QRectF(box.left() / 4.0, box.top() / 4.0, box.width() / 4.0, box.height() / 4.0);
}

void expectRect(const QRectF& got, const QRectF& expected, double tolerance) {
    EXPECT_NEAR(got.left(), expected.left(), tolerance);
    EXPECT_NEAR(got.top(), expected.top(), tolerance);
    EXPECT_NEAR(got.width(), expected.width(), tolerance);
    EXPECT_NEAR(got.height(), expected.height(), tolerance);
}

// The red square, 48 x 48 pixels, printed square within 0.5 %.
void expectSquare(const QRectF& box) {
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(box.width() / box.height(), 1.0, 0.005);
}

struct Counted : printing::PrintProgress {
    void coverStarted(const cover::CoverFormat&) override {}
    void coverFinished(const cover::CoverFormat&, const printing::DocumentResult& result) override {
        sent += result.sent ? 1 : 0;
    }
    bool continueAfterCover() override { return true; }
    int sent = 0;
};

class FitJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path());
    }
    void TearDown() override { base::setProgramFolderForTesting(QString()); }
    QString path(const QString& name) const { return folder.filePath(name); }

    // One cover into a PDF file; its first page rendered.
    QImage pdfPage(CoverKind kind, const picture::LoadedPicture& picture, const Framing& framing,
                   const cover::TrimOptions& trim = {}) {
        cover::CoverRecords records;
        records[kind] = picture;
        records.framing(kind) = framing;
        Counted progress;
        const QString file = path("cover.pdf");
        EXPECT_EQ(printing::exportCoversToPdf(kind, records, cover::PaperChoice::LetterLegal, file,
                                              progress, trim),
                  1);
        EXPECT_EQ(test::qpdfProblems(file), QString());
        lastPdf = file;
        return test::renderPdfPage(file, 1, kDpi);
    }
    // The same cover as the print window's preview draws it, without a printer.
    QImage previewPage(CoverKind kind, const picture::LoadedPicture& picture,
                       const Framing& framing) {
        cover::CoverRecords records;
        records[kind] = picture;
        records.framing(kind) = framing;
        const std::vector<printing::PreviewPage> pages =
            printing::previewPages(kind, records, cover::PaperChoice::LetterLegal, QString());
        EXPECT_EQ(pages.size(), 1u);
        if (pages.empty()) return QImage();
        const cover::PageContent& content = pages[0].content;
        QImage drawn((content.size * 4).toSize(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        pdf::paintPageContent(painter, content, 4.0);
        return drawn;
    }

    QTemporaryDir folder;
    QString lastPdf;
};

TEST_F(FitJobsTest, FillAndFitKeepThePicturesProportionsAndPutTheCropWhereItWasSet) {
    const picture::LoadedPicture wide = picture::LoadedPicture::made(cells());
    const picture::LoadedPicture tall = picture::LoadedPicture::made(cells(true));
    // CD front: 342 pt square. DVD: 769.5 x 513 pt, on Legal as held (cover at the corner).
    const struct {
        const char* name;
        CoverKind kind;
        const picture::LoadedPicture& picture;
        Framing framing;
        QRectF red;  // where the red square lands, in points; empty when cropped away
        QRectF ink;  // everything printed
        QRectF blue; // empty when cropped away
    } cases[] = {
        // 96 of 384 columns show, 3.5625 pt each; a quarter along the 288 over: from 72.
        {"front, fill, a quarter across",
         CoverKind::Front,
         wide,
         {CoverFit::Fill, {0.25, 0.5}},
         {24 * 3.5625, 24 * 3.5625, 171, 171},
         {0, 0, 342, 342},
         {}},
        // A third down the 288 rows over: from row 96, the red square at the top.
        {"front, fill, a third down",
         CoverKind::Front,
         tall,
         {CoverFit::Fill, {0.5, 1.0 / 3}},
         {24 * 3.5625, 0, 171, 171},
         {0, 0, 342, 342},
         {}},
        // 513 / 96 = 5.34375 pt a pixel; 144 columns show, centred from 120.
        {"dvd, fill, centred",
         CoverKind::Dvd,
         wide,
         {CoverFit::Fill, {0.5, 0.5}},
         {0, 24 * 5.34375, 24 * 5.34375, 256.5},
         {0, 0, 769.5, 513},
         {72 * 5.34375, 24 * 5.34375, 256.5, 256.5}},
        // 342 / 384 = 0.890625 pt a pixel, 85.5 pt high, 128.25 pt above and below.
        {"front, fit",
         CoverKind::Front,
         wide,
         {CoverFit::Fit, {0, 0}},
         {96 * 0.890625, 128.25 + 24 * 0.890625, 42.75, 42.75},
         {0, 128.25, 342, 85.5},
         {192 * 0.890625, 128.25 + 24 * 0.890625, 42.75, 42.75}},
        // 513 / 384 = 1.3359375 pt a pixel, 128.25 pt wide, 320.625 pt left and right.
        {"dvd, fit",
         CoverKind::Dvd,
         tall,
         {CoverFit::Fit, {0, 0}},
         {320.625 + 24 * 1.3359375, 96 * 1.3359375, 64.125, 64.125},
         {320.625, 0, 128.25, 513},
         {320.625 + 24 * 1.3359375, 192 * 1.3359375, 64.125, 64.125}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool preview : {false, true}) {
            SCOPED_TRACE(preview ? "preview" : "PDF");
            const QImage page = preview ? previewPage(c.kind, c.picture, c.framing)
                                        : pdfPage(c.kind, c.picture, c.framing);
            const QRectF red = inPoints(test::colourBox(page, kRed));
            expectRect(red, c.red, 0.5);
            const QRectF ink = inPoints(test::inkBox(page));
            expectRect(ink, c.ink, 0.5);
            const QRectF blue = inPoints(test::colourBox(page, kBlue));
            if (c.blue.isEmpty())
                EXPECT_TRUE(blue.isEmpty());
            else
                expectRect(blue, c.blue, 0.5);
            // The picture's own edge is cropped away under Fill.
            EXPECT_EQ(test::colourBox(page, kEdge).isEmpty(), c.framing.fit == CoverFit::Fill);
            // Printed in the picture's proportions: the whole picture when fitted, the
            // red square when filled.
            const QSize pixels = c.picture.pixels.size();
            if (c.framing.fit == CoverFit::Fit)
                EXPECT_NEAR(ink.width() / ink.height() * pixels.height() / pixels.width(), 1.0,
                            0.005);
            else if (c.red.width() == c.red.height())
                expectSquare(red);
        }
    }
}

TEST_F(FitJobsTest, BleedCarriesTheEdgesOfWhatShows) {
    const picture::LoadedPicture wide = picture::LoadedPicture::made(cells());
    const cover::TrimOptions bleed{false, 3};
    const double in = 3 * kMm; // moved in by the bleed
    // Filled from column 72: the green columns are the cover's left edge and its bleed.
    const QImage filled = pdfPage(CoverKind::Front, wide, {CoverFit::Fill, {0.25, 0.5}}, bleed);
    expectRect(inPoints(test::colourBox(filled, kGreen)),
               QRectF(in - 3 * kMm, in - 3 * kMm, 3 * kMm + 24 * 3.5625, 342 + 6 * kMm), 0.5);
    EXPECT_TRUE(test::colourBox(filled, kEdge).isEmpty());
    expectRect(inPoints(test::inkBox(filled)),
               QRectF(in - 3 * kMm, in - 3 * kMm, 342 + 6 * kMm, 342 + 6 * kMm), 0.5);

    // Fitted: the left and right edges bleed along the picture's height; above and below
    // the cover stays white.
    const QImage fitted = pdfPage(CoverKind::Front, wide, {CoverFit::Fit, {0.5, 0.5}}, bleed);
    expectRect(inPoints(test::colourBox(fitted, kEdge)),
               QRectF(in - 3 * kMm, in + 128.25, 3 * kMm + 8 * 0.890625, 85.5), 0.5);
    expectRect(inPoints(test::inkBox(fitted)),
               QRectF(in - 3 * kMm, in + 128.25, 342 + 6 * kMm, 85.5), 0.5);
}

TEST_F(FitJobsTest, AJpegKeepsItsDataUnderFillAndFitInJobsAndFiles) {
    const QByteArray jpeg = jpegOf(cells());
    test::writeFileBytes(path("cells.jpg"), jpeg);
    QString unreadable;
    const picture::LoadedPicture picture =
        picture::readPictureFile(base::FilePath::fromText(path("cells.jpg")), &unreadable);
    ASSERT_FALSE(picture.isNull()) << unreadable.toStdString();

    for (const CoverFit fit : {CoverFit::Fill, CoverFit::Fit}) {
        SCOPED_TRACE(cover::fitName(fit).toStdString());
        pdfPage(CoverKind::Front, picture, {fit, {0.25, 0.5}});
        EXPECT_EQ(test::pdfJpegData(lastPdf), std::vector<QByteArray>{jpeg});
    }

    // A job on a printer: the Letter printable area starts at (18, 36).
    test::CupsTestServer& server = test::cupsTestServer();
    QString error;
    ASSERT_TRUE(server.reset(&error)) << error.toStdString();
    cover::CoverRecords records;
    records[CoverKind::Front] = picture;
    records.framing(CoverKind::Front) = {CoverFit::Fill, {0.25, 0.5}};
    printing::CupsCoverPrinter printer;
    ASSERT_TRUE(printer.usePrinter(QStringLiteral("alpha")));
    Counted progress;
    printing::printSelectedCovers(CoverKind::Front, records, printer, progress,
                                  cover::PaperChoice::LetterLegal);
    EXPECT_EQ(progress.sent, 1);
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles(QStringLiteral("alpha"));
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(test::pdfJpegData(jobs[0]), std::vector<QByteArray>{jpeg});
    const QImage page = test::renderPdfPage(jobs[0], 1, kDpi);
    const QRectF red = inPoints(test::colourBox(page, kRed));
    expectRect(red, QRectF(18 + 24 * 3.5625, 36 + 24 * 3.5625, 171, 171), 1.0);
    expectSquare(red);
    expectRect(inPoints(test::inkBox(page)), QRectF(18, 36, 342, 342), 0.5);
}

TEST_F(FitJobsTest, StretchWritesTheFilesItWroteBefore) {
    // Written by VEXA before covers had a fit, from the two pictures beside them.
    const QString before =
        test::sourceDir() + QStringLiteral("/tests/core/printing/stretch-as-before/");
    const struct {
        const char* file;
        QStringList arguments;
    } runs[] = {
        {"plain.pdf", {"--front", "wide.png", "--dvd", "wide.png", "--ds", "tall.jpg"}},
        {"trimmed.pdf",
         {"--front", "tall.jpg", "--dvd", "wide.png", "--marks", "--bleed", "3", "--fit",
          "stretch"}},
        {"a4-bleed.pdf",
         {"--mini", "tall.jpg", "--back", "wide.png", "--bleed", "1.5", "--paper", "a4"}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.file);
        QStringList arguments;
        for (const QString& argument : run.arguments)
            arguments << (argument.endsWith(".png") || argument.endsWith(".jpg") ? before + argument
                                                                                 : argument);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        ASSERT_EQ(cli::runPrintCommand(arguments + QStringList{"--pdf", path(run.file)}, outStream,
                                       errStream),
                  0)
            << err.toStdString();
        EXPECT_TRUE(test::fileBytes(path(run.file)) == test::fileBytes(before + run.file));
    }
}

} // namespace
