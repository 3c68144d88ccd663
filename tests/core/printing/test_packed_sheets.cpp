// Packed sheets as the printer receives them, measured after CUPS' own pdftopdf with each job's
// options, on a Plus90 and a Minus90 test printer with four different margins each, whose
// queues would also print two pages a sheet, landscape and mirrored by default. Every place
// expected comes from millimetre arithmetic on the paper, its margins and the covers' sizes.
#include "support/CupsTestServer.h"
#include "support/PdfProbe.h"
#include "support/TestSupport.h"

#include "cli/PrintCommand.h"
#include "core/base/ProgramFolder.h"
#include "core/cover/CalibrationStore.h"
#include "core/cover/CoverFormats.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/SheetRun.h"

#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace vexa;
using cover::QuarterTurn;

namespace {

constexpr double kPt = 72.0 / 25.4; // points per millimetre
constexpr int kDpi = 600;
constexpr double kPixels = kDpi / 72.0; // device pixels per point

// Each picture has four pixels of four colours, so each quarter of a cover, however turned, is
// told apart from the quarter of a neighbour it touches.
constexpr QRgb kRed = qRgb(200, 0, 0), kBlue = qRgb(0, 0, 200), kGreen = qRgb(0, 160, 0),
               kYellow = qRgb(230, 200, 0);

QImage quarteredPicture() {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, kRed);
    picture.setPixel(1, 0, kBlue);
    picture.setPixel(0, 1, kGreen);
    picture.setPixel(1, 1, kYellow);
    return picture;
}

// The margins of the paper as it feeds, in points.
struct Margins {
    double left, top, right, bottom;
};

struct TestPrinter {
    const char* name;
    const char* turn;
    Margins margins;
    QuarterTurn turned; // how it turns a picture a quarter
};
const TestPrinter kPrinters[] = {
    {"plus", "Plus90", {10, 45, 35, 20}, QuarterTurn::CounterClockwise},
    {"minus", "Minus90", {25, 32, 12, 15}, QuarterTurn::Clockwise},
};

// A PPD's ImageableArea: left, bottom, right, top from the paper's bottom-left corner.
QString imageableArea(const Margins& m, double width, double height) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(m.left)
        .arg(m.bottom)
        .arg(width - m.right)
        .arg(height - m.top);
}

// A cover expected on the sheet as the paper feeds: its place in points, and how its picture
// is turned.
struct Placed {
    QRectF place;
    QuarterTurn turn;
};

// The colours of the place's quarters (top-left, top-right, bottom-left, bottom-right) for the
// picture turned `turn`: counter-clockwise, the picture's top-left corner lies at the place's
// bottom-left; clockwise, at its top-right.
std::array<QRgb, 4> quarterColours(QuarterTurn turn) {
    switch (turn) {
    case QuarterTurn::CounterClockwise:
        return {kBlue, kYellow, kRed, kGreen};
    case QuarterTurn::Clockwise:
        return {kGreen, kRed, kYellow, kBlue};
    default:
        return {kRed, kBlue, kGreen, kYellow};
    }
}

// The three figures: a CD front and back on one sheet, six CD mini covers, two CD fronts. Sizes
// in millimetres: front 120.65 square, back 149.86 x 118.11, mini 82.55 x 87.63, which lies
// turned (87.63 x 82.55) so that three rows fit.
struct Figure {
    const char* name;
    cover::CoverKinds kinds;
    int copies;
};
const Figure kFigures[] = {
    {"front and back", cover::CoverKind::Front | cover::CoverKind::Back, 1},
    {"six minis", cover::CoverKind::Mini, 6},
    {"two fronts", cover::CoverKind::Front, 2},
};

std::vector<Placed> expectedPlaces(const Figure& figure, const TestPrinter& printer) {
    const double left = printer.margins.left, top = printer.margins.top;
    const double front = 120.65 * kPt;
    const QSizeF frontSize(front, front);
    if (figure.copies == 6) {
        std::vector<Placed> minis;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 2; ++column)
                minis.push_back({QRectF(left + column * 87.63 * kPt, top + row * 82.55 * kPt,
                                        87.63 * kPt, 82.55 * kPt),
                                 printer.turned});
        return minis;
    }
    const QSizeF second = figure.copies == 2 ? frontSize : QSizeF(149.86 * kPt, 118.11 * kPt);
    return {{QRectF(QPointF(left, top), frontSize), QuarterTurn::None},
            {QRectF(QPointF(left, top + front), second), QuarterTurn::None}};
}

// Collects what a run tells of its sheets.
struct Results : printing::PrintProgress {
    void coverStarted(const cover::CoverFormat&) override {}
    void coverFinished(const cover::CoverFormat&, const printing::DocumentResult&) override {}
    void sheetFinished(const cover::Sheet& sheet, int number,
                       const printing::DocumentResult& result) override {
        said << (result.sent ? QStringLiteral("sheet %1 sent").arg(number)
                             : printing::sheetNotice(sheet, number, result));
    }
    bool continueAfterCover() override { return true; }
    QStringList said;
};

class PackedSheetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path());
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        for (const TestPrinter& printer : kPrinters) {
            vexa::test::TestPpd ppd;
            ppd.landscape = printer.turn;
            ppd.letterArea = imageableArea(printer.margins, 612, 792);
            ppd.legalArea = imageableArea(printer.margins, 612, 1008);
            ppd.a4Area = imageableArea(printer.margins, 595, 842);
            ASSERT_TRUE(server.addPrinter(printer.name, &error, ppd)) << error.toStdString();
            ASSERT_TRUE(server.setQueueDefaults(
                printer.name,
                {"number-up-default=2", "orientation-requested-default=4", "mirror-default=true"},
                &error))
                << error.toStdString();
        }
        for (const cover::CoverKind kind : cover::kAllCoverKinds)
            pictures[kind] = picture::LoadedPicture::made(quarteredPicture());
    }
    void TearDown() override { base::setProgramFolderForTesting(QString()); }

    // The one job a packed run of `kinds` sends to `printer`, through pdftopdf.
    QString filteredJob(const QString& printer, cover::CoverKinds kinds, int copies,
                        cover::PaperChoice paper, const cover::TrimOptions& trim = {}) {
        const int before = static_cast<int>(server.jobFiles(printer).size());
        printing::CupsCoverPrinter cups;
        EXPECT_TRUE(cups.usePrinter(printer));
        Results results;
        printing::printCovers(kinds, pictures, cups, results, paper,
                              {cover::SheetLayout::AsManyAsFit, copies}, trim);
        EXPECT_EQ(results.said, QStringList{"sheet 1 sent"});
        EXPECT_TRUE(server.waitUntilIdle());
        const QStringList jobs = server.jobFiles(printer);
        EXPECT_EQ(jobs.size(), before + 1);
        if (jobs.size() != before + 1) return QString();
        lastJob = jobs.last();
        const QString filtered =
            folder.filePath(QStringLiteral("filtered-%1.pdf").arg(++m_filtered));
        QString error;
        EXPECT_TRUE(server.throughPdftopdf(lastJob, printer, filtered, &error))
            << error.toStdString();
        return filtered;
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
    cover::CoverRecords pictures;
    QString lastJob;

private:
    int m_filtered = 0;
};

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 60 && std::abs(qGreen(a) - qGreen(b)) < 60 &&
           std::abs(qBlue(a) - qBlue(b)) < 60;
}

// Where each expected cover lies on page 1 of `pdf`, in device pixels, measured quarter by
// quarter along lines through the quarters' middles: each quarter, looked for a little beyond
// where it should be, within a device pixel of its place. The page is rendered once, as far as
// the covers reach.
std::vector<QRect> measuredCovers(const QString& pdf, const std::vector<Placed>& expected) {
    constexpr int kAround = 24; // about 1 mm
    QRectF reach;
    for (const Placed& placed : expected)
        reach |= QRectF(placed.place.topLeft() * kPixels, placed.place.size() * kPixels);
    const QRect area = reach.toAlignedRect().adjusted(-kAround, -kAround, kAround, kAround);
    const QImage page =
        vexa::test::renderPdfArea(pdf, 1, kDpi, area).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(page.size(), area.size());
    if (page.size() != area.size()) return {};
    // The first and last pixel of `colour` on the line at `at` across (or down) the page, from
    // `from` to `to`, page pixels, a little beyond either end; one past the last.
    const auto extent = [&](bool across, double at, double from, double to, QRgb colour) {
        const int fixed = qFloor(at) - (across ? area.top() : area.left());
        const int start = std::max(0, qFloor(from) - kAround - (across ? area.left() : area.top()));
        const int end = std::min(across ? page.width() : page.height(),
                                 qCeil(to) + kAround - (across ? area.left() : area.top()));
        int first = -1, last = -1;
        for (int i = start; i < end; ++i) {
            if (!near(across ? page.pixel(i, fixed) : page.pixel(fixed, i), colour)) continue;
            if (first < 0) first = i;
            last = i;
        }
        const int offset = across ? area.left() : area.top();
        return std::pair<double, double>(first + offset, last + 1 + offset);
    };
    std::vector<QRect> found;
    for (const Placed& placed : expected) {
        const QRectF place(placed.place.topLeft() * kPixels, placed.place.size() * kPixels);
        const std::array<QRgb, 4> colours = quarterColours(placed.turn);
        SCOPED_TRACE(QStringLiteral("the cover at %1, %2 pt")
                         .arg(placed.place.left())
                         .arg(placed.place.top())
                         .toStdString());
        double left = 0, right = 0, top = 0, bottom = 0;
        for (int q = 0; q < 4; ++q) {
            const bool rightHalf = q % 2 == 1, lowerHalf = q >= 2;
            const double quarterLeft = rightHalf ? place.center().x() : place.left();
            const double quarterRight = rightHalf ? place.right() : place.center().x();
            const double quarterTop = lowerHalf ? place.center().y() : place.top();
            const double quarterBottom = lowerHalf ? place.bottom() : place.center().y();
            const auto [x1, x2] = extent(true, (quarterTop + quarterBottom) / 2, quarterLeft,
                                         quarterRight, colours[q]);
            const auto [y1, y2] = extent(false, (quarterLeft + quarterRight) / 2, quarterTop,
                                         quarterBottom, colours[q]);
            EXPECT_NEAR(x1, quarterLeft, 1.0) << q;
            EXPECT_NEAR(x2, quarterRight, 1.0) << q;
            EXPECT_NEAR(y1, quarterTop, 1.0) << q;
            EXPECT_NEAR(y2, quarterBottom, 1.0) << q;
            if (q == 0) std::tie(left, top) = std::pair(x1, y1);
            if (q == 3) std::tie(right, bottom) = std::pair(x2, y2);
        }
        found.push_back(QRectF(QPointF(left, top), QPointF(right, bottom)).toRect());
    }
    return found;
}

} // namespace

TEST_F(PackedSheetsTest, TheFiguresHoldAndEachCoverLandsAtItsPlaceAfterPdftopdf) {
    for (const TestPrinter& printer : kPrinters)
        for (const cover::PaperChoice paper :
             {cover::PaperChoice::LetterLegal, cover::PaperChoice::A4})
            for (const Figure& figure : kFigures) {
                const bool a4 = paper == cover::PaperChoice::A4;
                SCOPED_TRACE(std::string(printer.name) + (a4 ? " A4 " : " Letter ") + figure.name);
                const QString filtered =
                    filteredJob(printer.name, figure.kinds, figure.copies, paper);
                ASSERT_FALSE(filtered.isEmpty());
                const QSizeF paperSize = a4 ? QSizeF(595, 842) : QSizeF(612, 792);
                EXPECT_EQ(vexa::test::pdfPageSizes(filtered), std::vector<QSizeF>{paperSize});
                const std::vector<QRect> covers =
                    measuredCovers(filtered, expectedPlaces(figure, printer));
                const Margins& m = printer.margins;
                const QRectF printable(QPointF(m.left * kPixels, m.top * kPixels),
                                       QPointF((paperSize.width() - m.right) * kPixels,
                                               (paperSize.height() - m.bottom) * kPixels));
                for (std::size_t i = 0; i < covers.size(); ++i) {
                    EXPECT_TRUE(printable.adjusted(-1, -1, 1, 1).contains(QRectF(covers[i]))) << i;
                    for (std::size_t j = 0; j < i; ++j) {
                        const QRect both = covers[i] & covers[j];
                        EXPECT_TRUE(both.width() <= 1 || both.height() <= 1) << i << " " << j;
                    }
                }
            }
}

// Cut marks and 1.5 mm bleed on four CD mini covers: each keeps 8.5 mm of room on every side,
// so they stand upright two by two (2 x (82.55 + 17) mm across the 567 pt, 200 mm, printable
// width), and no mark touches a cover or its bleed, its own or a neighbour's.
TEST_F(PackedSheetsTest, MarksStayClearOfEveryPicture) {
    const TestPrinter& printer = kPrinters[0];
    filteredJob(printer.name, cover::CoverKind::Mini, 4, cover::PaperChoice::LetterLegal,
                {true, 1.5});
    ASSERT_FALSE(lastJob.isEmpty());
    const double room = 8.5 * kPt, bleed = 1.5 * kPt;
    const double w = 82.55 * kPt, h = 87.63 * kPt;
    std::vector<QRectF> bled;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            bled.push_back(QRectF(printer.margins.left + room + column * (w + 2 * room),
                                  printer.margins.top + room + row * (h + 2 * room), w, h)
                               .adjusted(-bleed, -bleed, bleed, bleed));
    const std::vector<vexa::test::PdfLine> lines = vexa::test::pdfPageLines(lastJob);
    // Eight corner marks a cover; the CD mini has no fold.
    ASSERT_EQ(lines.size(), 4u * 8u);
    const QRectF printable(printer.margins.left, printer.margins.top,
                           612 - printer.margins.left - printer.margins.right,
                           792 - printer.margins.top - printer.margins.bottom);
    for (const vexa::test::PdfLine& mark : lines) {
        const QRectF span = QRectF(mark.line.p1(), mark.line.p2()).normalized();
        const QRectF area = printable.adjusted(-0.01, -0.01, 0.01, 0.01);
        EXPECT_TRUE(area.contains(mark.line.p1()) && area.contains(mark.line.p2()));
        for (const QRectF& picture : bled) {
            const QRectF inside = picture.adjusted(0.01, 0.01, -0.01, -0.01);
            const bool crosses = span.left() <= inside.right() && span.right() >= inside.left() &&
                                 span.top() <= inside.bottom() && span.bottom() >= inside.top();
            EXPECT_FALSE(crosses) << mark.line.x1() << "," << mark.line.y1() << " - "
                                  << mark.line.x2() << "," << mark.line.y2();
        }
    }
}

// The same JPEG twice on a sheet goes into the job once, as its own bytes, drawn twice.
TEST_F(PackedSheetsTest, AJpegTwiceOnASheetIsOneImageObject) {
    const QString photo =
        vexa::test::sourceDir() + QStringLiteral("/tests/core/printing/one-cover-a-page/photo.jpg");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ASSERT_EQ(vexa::cli::runPrintCommand({"--front", photo, "--inside", photo, "--copies", "2",
                                          "--pack", "--paper", "a4", "--printer", "plus"},
                                         outStream, errStream),
              0)
        << err.toStdString();
    // Two fronts and two insides, 120.65 mm square each: two a sheet.
    EXPECT_EQ(out, "Printing sheet 1 of 2.\nPrinting sheet 2 of 2.\n4 covers on 2 sheets sent to "
                   "plus\n");
    ASSERT_TRUE(server.waitUntilIdle());
    const QStringList jobs = server.jobFiles("plus");
    ASSERT_EQ(jobs.size(), 2);
    for (const QString& job : jobs) {
        const std::vector<vexa::test::PdfImageEntry> images = vexa::test::pdfImageList(job);
        ASSERT_EQ(images.size(), 2u);
        EXPECT_EQ(images[0].object, images[1].object);
        EXPECT_EQ(images[0].encoding, "jpeg");
        const std::vector<QByteArray> data = vexa::test::pdfJpegData(job);
        ASSERT_FALSE(data.empty());
        EXPECT_EQ(data[0], vexa::test::fileBytes(photo));
    }
}

// The printer's calibration moves and scales the whole sheet: a point drawn at p (mm from the
// paper's corner) prints at o + s p, so two fronts stacked from the printable corner are drawn
// from (corner - o) / s, 342 x 684 pt divided by s.
TEST_F(PackedSheetsTest, TheCalibrationAppliesToTheWholeSheet) {
    const double ox = 1.3, oy = -1.8, sx = 1.01, sy = 0.99;
    ASSERT_TRUE(
        cover::settingsCalibrations().write("plus", cover::Paper::Letter, {ox, oy, sx, sy}));
    filteredJob("plus", cover::CoverKind::Front, 2, cover::PaperChoice::LetterLegal);
    ASSERT_FALSE(lastJob.isEmpty());
    constexpr int kInkDpi = 288; // four pixels to the point
    const QRect ink = vexa::test::inkBox(vexa::test::renderPdfPage(lastJob, 1, kInkDpi));
    const Margins& m = kPrinters[0].margins;
    const QRectF drawn((m.left - ox * kPt) / sx, (m.top - oy * kPt) / sy, 342 / sx, 684 / sy);
    EXPECT_NEAR(ink.left() / 4.0, drawn.left(), 0.5);
    EXPECT_NEAR(ink.top() / 4.0, drawn.top(), 0.5);
    EXPECT_NEAR((ink.right() + 1) / 4.0, drawn.right(), 0.5);
    EXPECT_NEAR((ink.bottom() + 1) / 4.0, drawn.bottom(), 0.5);
}
