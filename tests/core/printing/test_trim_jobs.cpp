// Calibration, marks and bleed in the jobs the printer receives and in PDF files, measured
// with poppler and qpdf against millimetre arithmetic on the paper, the printable area (the
// test printers' Letter area runs from 18 to 594 pt across and 36 to 756 pt down) and the
// cover sizes.
#include "support/CupsTestServer.h"
#include "support/PdfProbe.h"
#include "support/TestSupport.h"

#include "cli/PrintCommand.h"
#include "core/base/ProgramFolder.h"
#include "core/cover/CalibrationStore.h"
#include "core/cover/PaperChoice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

constexpr double kMm = 72.0 / 25.4; // points per millimetre
constexpr double kFront = 342.0;    // the CD front cover: 4.75 in square
const QPointF kLetterCorner(18, 36);
// 4 pixels to the point.
constexpr int kDpi = 288;

constexpr QRgb kInside = 0xff2040a0, kTop = 0xffd02020, kBottom = 0xff20a020, kLeft = 0xffe0c000,
               kRight = 0xffa020c0;

// A picture whose four edges each have a colour of their own.
QImage edgedPicture() {
    QImage picture(120, 120, QImage::Format_RGB32);
    picture.fill(kInside);
    for (int i = 0; i < 120; ++i) {
        picture.setPixel(i, 0, kTop);
        picture.setPixel(i, 119, kBottom);
        picture.setPixel(0, i, kLeft);
        picture.setPixel(119, i, kRight);
    }
    return picture;
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

// The page's ink in points.
QRectF inkInPoints(const QString& pdf) {
    const QRect box = vexa::test::inkBox(vexa::test::renderPdfPage(pdf, 1, kDpi));
    return QRectF(box.left() / 4.0, box.top() / 4.0, (box.width()) / 4.0, box.height() / 4.0);
}

void expectRect(const QRectF& got, const QRectF& expected, double tolerance) {
    EXPECT_NEAR(got.left(), expected.left(), tolerance);
    EXPECT_NEAR(got.top(), expected.top(), tolerance);
    EXPECT_NEAR(got.width(), expected.width(), tolerance);
    EXPECT_NEAR(got.height(), expected.height(), tolerance);
}

bool hasLine(const std::vector<vexa::test::PdfLine>& lines, const QLineF& wanted) {
    const auto same = [](const QPointF& a, const QPointF& b) {
        return std::abs(a.x() - b.x()) < 0.01 && std::abs(a.y() - b.y()) < 0.01;
    };
    return std::any_of(lines.begin(), lines.end(), [&](const vexa::test::PdfLine& l) {
        return (same(l.line.p1(), wanted.p1()) && same(l.line.p2(), wanted.p2())) ||
               (same(l.line.p1(), wanted.p2()) && same(l.line.p2(), wanted.p1()));
    });
}

class TrimJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        vexa::base::setProgramFolderForTesting(folder.path());
        ASSERT_TRUE(edgedPicture().save(path("edged.png")));
        vexa::test::writeFileBytes(
            path("photo.jpg"),
            vexa::test::encodeWithQt(vexa::test::solidImage(300, 300, qRgb(40, 120, 200)), "jpeg"));
    }
    void TearDown() override { vexa::base::setProgramFolderForTesting(QString()); }

    QString path(const QString& name) const { return folder.filePath(name); }
    QByteArray photoBytes() const { return vexa::test::fileBytes(path("photo.jpg")); }

    int print(const QStringList& arguments) {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return vexa::cli::runPrintCommand(arguments, outStream, errStream);
    }
    // The one job `arguments` sends to alpha.
    QString job(const QStringList& arguments) {
        vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
        QString error;
        EXPECT_TRUE(server.reset(&error)) << error.toStdString();
        EXPECT_EQ(print(arguments + QStringList{"--printer", "alpha"}), 0) << err.toStdString();
        EXPECT_TRUE(server.waitUntilIdle());
        const QStringList jobs = server.jobFiles("alpha");
        EXPECT_EQ(jobs.size(), 1);
        return jobs.value(0);
    }

    QTemporaryDir folder;
    QString out;
    QString err;
};

TEST_F(TrimJobsTest, EverythingOffPlacesTheSamePictureAtTheCornerAsBefore) {
    // A calibration of another printer or paper changes nothing here.
    ASSERT_TRUE(
        cover::settingsCalibrations().write("beta", cover::Paper::Letter, {5, 5, 1.02, 1.02}));
    ASSERT_TRUE(cover::settingsCalibrations().write("alpha", cover::Paper::A4, {5, 5, 1.02, 1.02}));
    const QString png = job({"--front", path("edged.png")});
    expectRect(inkInPoints(png), QRectF(kLetterCorner, QSizeF(kFront, kFront)), 0.5);
    EXPECT_EQ(vexa::test::pdfImageList(png).size(), 1u);
    EXPECT_EQ(vexa::test::firstPdfImage(png).convertToFormat(QImage::Format_RGB32), edgedPicture());
    EXPECT_TRUE(vexa::test::pdfPageLines(png).empty());
    EXPECT_EQ(vexa::test::pdfPageBox(png, "TrimBox"), vexa::test::pdfPageBox(png, "MediaBox"));

    const QString jpeg = job({"--front", path("photo.jpg")});
    EXPECT_EQ(vexa::test::pdfJpegData(jpeg), std::vector<QByteArray>{photoBytes()});
    expectRect(inkInPoints(jpeg), QRectF(kLetterCorner, QSizeF(kFront, kFront)), 0.5);
}

TEST_F(TrimJobsTest, AStoredCalibrationMovesAndScalesTheCoverSoItLandsAtTheCorner) {
    // The printer prints a point drawn at p (mm from the paper's corner) at o + s p:
    // 1.3 mm to the right and 1.8 mm high, 1 % wide and 1 % short.
    const double ox = 1.3, oy = -1.8, sx = 1.01, sy = 0.99;
    ASSERT_TRUE(
        cover::settingsCalibrations().write("alpha", cover::Paper::Letter, {ox, oy, sx, sy}));
    const QString corrected = job({"--front", path("edged.png")});
    // Drawn at (corner - o) / s, at the size divided by s.
    const QRectF drawn((18 - ox * kMm) / sx, (36 - oy * kMm) / sy, kFront / sx, kFront / sy);
    const QRectF ink = inkInPoints(corrected);
    expectRect(ink, drawn, 0.5);
    // Through the printer: the corner and the exact size.
    EXPECT_NEAR(ox * kMm + sx * ink.left(), 18, 0.5);
    EXPECT_NEAR(oy * kMm + sy * ink.top(), 36, 0.5);
    EXPECT_NEAR(sx * ink.width(), kFront, 0.5);
    EXPECT_NEAR(sy * ink.height(), kFront, 0.5);

    // Left out on request; never in a PDF file.
    expectRect(inkInPoints(job({"--front", path("edged.png"), "--no-calibration"})),
               QRectF(kLetterCorner, QSizeF(kFront, kFront)), 0.5);
    ASSERT_EQ(print({"--front", path("edged.png"), "--pdf", path("covers.pdf")}), 0);
    expectRect(inkInPoints(path("covers.pdf")), QRectF(0, 0, kFront, kFront), 0.5);
}

TEST_F(TrimJobsTest, ALandscapeCoverIsCorrectedOnThePaperAsItFeeds) {
    const double ox = -2.0, oy = 3.0, sx = 0.98, sy = 1.015;
    ASSERT_TRUE(
        cover::settingsCalibrations().write("alpha", cover::Paper::Legal, {ox, oy, sx, sy}));
    const QString printed = job({"--dvd", path("edged.png")});
    EXPECT_EQ(vexa::test::pdfPageSizes(printed), std::vector<QSizeF>({{612, 1008}}));
    // Legal turned a quarter counter-clockwise: the landscape page's printable corner is the
    // paper's bottom-left one (18 pt from the left edge, 36 pt from the bottom), and the
    // 769.5 x 513 pt cover stands 513 pt wide and 769.5 pt high on the paper.
    const QRectF onPaper(18, 1008 - 36 - 769.5, 513, 769.5);
    const QRectF drawn((onPaper.left() - ox * kMm) / sx, (onPaper.top() - oy * kMm) / sy,
                       onPaper.width() / sx, onPaper.height() / sy);
    expectRect(inkInPoints(printed), drawn, 0.5);
}

TEST_F(TrimJobsTest, AnUnreadableCalibrationIsNamedAndNotApplied) {
    vexa::test::writeFileBytes(path("vexa6.ini"), "[CALIBRATION]\nalpha/Letter=across 1 mm\n");
    const QString printed = job({"--front", path("edged.png")});
    expectRect(inkInPoints(printed), QRectF(kLetterCorner, QSizeF(kFront, kFront)), 0.5);
    EXPECT_TRUE(err.contains("The calibration of printer alpha on Letter paper in " +
                             path("vexa6.ini") + " cannot be read"))
        << err.toStdString();
}

TEST_F(TrimJobsTest, ABrokenHeaderAndALineGivenTwiceAreEachNamedOnceARun) {
    const QByteArray calibration = "across +2.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    vexa::test::writeFileBytes(path("vexa6.ini"),
                               "[CALIBRATION]\nalpha/Letter=" + calibration +
                                   "alpha/Letter=" + calibration +
                                   "[PRINT]\n[CALIBRATION\nalpha/Legal=" + calibration);
    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QString error;
    ASSERT_TRUE(server.reset(&error)) << error.toStdString();
    ASSERT_EQ(print({"--front", path("edged.png"), "--back", path("edged.png"), "--dvd",
                     path("edged.png"), "--printer", "alpha"}),
              0)
        << err.toStdString();
    const QString twice = "The calibration of printer alpha on Letter paper in " +
                          path("vexa6.ini") + " is given on 2 lines (2 and 3)";
    const QString broken = "Line 5 of " + path("vexa6.ini") +
                           ", \"[CALIBRATION\", is not a section "
                           "header";
    EXPECT_EQ(err.count(twice), 1) << err.toStdString();
    EXPECT_EQ(err.count(broken), 1) << err.toStdString();
    // Neither is applied: the covers are where the margins put them.
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles("alpha");
    ASSERT_EQ(jobs.size(), 3);
    expectRect(inkInPoints(jobs[0]), QRectF(kLetterCorner, QSizeF(kFront, kFront)), 0.5);
}

TEST_F(TrimJobsTest, CutMarksRunInLineWithTheEdgesOutsideTheCover) {
    const QString printed = job({"--front", path("edged.png"), "--marks"});
    // In by the 2 mm gap and the 5 mm mark.
    const QRectF cover(kLetterCorner + QPointF(7 * kMm, 7 * kMm), QSizeF(kFront, kFront));
    // The picture's top row runs along the cover's top edge from its second pixel (the first
    // is the left column's), each 342 / 120 pt wide, to the cover's right edge.
    const QRect top = vexa::test::colourBox(vexa::test::renderPdfPage(printed, 1, kDpi), kTop);
    const double pixel = kFront / 120;
    EXPECT_NEAR(top.left() / 4.0, cover.left() + pixel, 0.5);
    EXPECT_NEAR(top.top() / 4.0, cover.top(), 0.5);
    EXPECT_NEAR((top.right() + 1) / 4.0, cover.right(), 0.5);
    const std::vector<vexa::test::PdfLine> lines = vexa::test::pdfPageLines(printed);
    ASSERT_EQ(lines.size(), 8u);
    const double l = cover.left(), t = cover.top(), r = cover.right(), b = cover.bottom();
    const double from = 2 * kMm, to = 7 * kMm;
    for (const QLineF& mark : {QLineF(l - to, t, l - from, t), QLineF(r + from, t, r + to, t),
                               QLineF(l - to, b, l - from, b), QLineF(r + from, b, r + to, b),
                               QLineF(l, t - to, l, t - from), QLineF(l, b + from, l, b + to),
                               QLineF(r, t - to, r, t - from), QLineF(r, b + from, r, b + to)})
        EXPECT_TRUE(hasLine(lines, mark)) << mark.x1() << "," << mark.y1();
    for (const vexa::test::PdfLine& line : lines) {
        EXPECT_NEAR(line.width, 0.25, 1e-9);
        // Never on the cover.
        EXPECT_FALSE(cover.adjusted(0.01, 0.01, -0.01, -0.01).contains(line.line.center()));
    }
}

TEST_F(TrimJobsTest, FoldMarksAtTheTrayCardsSpinesDashedAboveAndBelow) {
    ASSERT_EQ(print({"--back", path("edged.png"), "--marks", "--pdf", path("back.pdf")}), 0)
        << err.toStdString();
    // 5.9 in wide; the published 5 15/16 in card with 1/4 in spines centred on it.
    const double shift = (5.9 - 5.9375) / 2 * 25.4;
    const QRectF cover(7 * kMm, 7 * kMm, 5.9 * 72, 4.65 * 72);
    const std::vector<vexa::test::PdfLine> lines = vexa::test::pdfPageLines(path("back.pdf"));
    ASSERT_EQ(lines.size(), 8u + 8u);
    for (const double foldMm : {0.25 * 25.4 + shift, 5.6875 * 25.4 + shift}) {
        const double x = cover.left() + foldMm * kMm;
        const double t = cover.top(), b = cover.bottom();
        EXPECT_TRUE(hasLine(lines, QLineF(x, t - 4 * kMm, x, t - 2 * kMm))) << foldMm;
        EXPECT_TRUE(hasLine(lines, QLineF(x, t - 7 * kMm, x, t - 5 * kMm))) << foldMm;
        EXPECT_TRUE(hasLine(lines, QLineF(x, b + 2 * kMm, x, b + 4 * kMm))) << foldMm;
        EXPECT_TRUE(hasLine(lines, QLineF(x, b + 5 * kMm, x, b + 7 * kMm))) << foldMm;
    }
    // A cover without a published fold gets corner marks only.
    ASSERT_EQ(print({"--psp", path("edged.png"), "--marks", "--pdf", path("psp.pdf")}), 0);
    EXPECT_EQ(vexa::test::pdfPageLines(path("psp.pdf")).size(), 8u);
}

TEST_F(TrimJobsTest, BleedCarriesTheEdgesOutwardAndLeavesTheCoverAsItWas) {
    ASSERT_EQ(print({"--front", path("edged.png"), "--bleed", "3", "--pdf", path("bleed.pdf")}), 0)
        << err.toStdString();
    const QString pdf = path("bleed.pdf");
    const double b = 3 * kMm;
    const QRectF cover(b, b, kFront, kFront);
    // The page boxes, PDF's way up on the 792 pt page (pdfinfo gives two decimals).
    expectRect(vexa::test::pdfPageBox(pdf, "TrimBox"),
               QRectF(QPointF(b, 792 - b - kFront), QPointF(b + kFront, 792 - b)), 0.006);
    expectRect(vexa::test::pdfPageBox(pdf, "BleedBox"),
               QRectF(QPointF(0, 792 - 2 * b - kFront), QPointF(2 * b + kFront, 792)), 0.006);
    // The cover's own picture, pixel for pixel, beside the strips.
    bool coverFound = false;
    for (const vexa::test::PdfImageEntry& image : vexa::test::pdfImageList(pdf))
        coverFound = coverFound || image.size == QSize(120, 120);
    EXPECT_TRUE(coverFound);
    const QImage page = vexa::test::renderPdfPage(pdf, 1, kDpi);
    const auto at = [&page](double x, double y) {
        return page.pixel(int(std::lround(x * 4)), int(std::lround(y * 4)));
    };
    const double mid = b + kFront / 2;
    const struct {
        QPointF point;
        QRgb colour;
    } samples[] = {
        {{mid, b / 2}, kTop},
        {{mid, b + kFront + b / 2}, kBottom},
        {{b / 2, mid}, kLeft},
        {{b + kFront + b / 2, mid}, kRight},
        {{mid, b + 5}, kInside}, // just inside the cut line: the cover, not the strip
        {{b + 5, mid}, kInside},
        {{b / 2, b / 2}, kLeft}, // the corner pixel of the top row is the left column's
    };
    for (const auto& s : samples)
        EXPECT_TRUE(near(at(s.point.x(), s.point.y()), s.colour))
            << s.point.x() << "," << s.point.y() << " " << std::hex << at(s.point.x(), s.point.y());
    // Nothing beyond the bleed.
    const QRect ink = vexa::test::inkBox(page);
    EXPECT_NEAR(ink.right() / 4.0, 2 * b + kFront, 0.5);
    EXPECT_NEAR(ink.bottom() / 4.0, 2 * b + kFront, 0.5);

    EXPECT_TRUE(vexa::test::qpdfProblems(pdf).isEmpty());

    // An unchanged JPEG still reaches the printer as its own bytes, strips and marks around it.
    const QString photo = job({"--front", path("photo.jpg"), "--bleed", "1.5", "--marks"});
    EXPECT_EQ(vexa::test::pdfJpegData(photo), std::vector<QByteArray>{photoBytes()});
    EXPECT_EQ(vexa::test::pdfImageList(photo).size(), 1u + 8u);
}

TEST_F(TrimJobsTest, ASideWithoutRoomIsNamed) {
    // An HD-DVD cover, 10.5 in wide, on an 11 in page: 12.7 mm to spare across, 10 mm of it
    // on the left, 2.7 mm on the right of the 10 mm the marks and bleed want.
    ASSERT_EQ(
        print({"--hd", path("edged.png"), "--marks", "--bleed", "3", "--pdf", path("hd.pdf")}), 0)
        << err.toStdString();
    EXPECT_TRUE(err.contains("The HD-DVD cover's bleed and marks have only 2.7 mm on the "
                             "right."))
        << err.toStdString();
}

} // namespace
