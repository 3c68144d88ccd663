// A queue's own defaults, set as an administrator sets them (lpadmin -o NAME-default=...), do
// not move, turn, scale, mirror, repeat or add to a cover: each job, after CUPS' pdftopdf with
// the job's options as the server hands them on, holds one page with the cover where the
// printable area's corner and the cover's size in millimetres put it. The same page sent with
// the paper alone shows that each default does act on a job that does not state otherwise.
#include "support/CupsTestServer.h"
#include "support/PdfProbe.h"

#include "core/base/ProgramFolder.h"
#include "core/cover/CoverFormats.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/PrintJob.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vexa;

namespace {

constexpr double kPointsPerMm = 72 / 25.4;
// Two pixels to the point: an edge is seen to half a point.
constexpr int kDpi = 144;
constexpr QRgb kCorner = qRgb(200, 0, 0), kRest = qRgb(0, 0, 200);

// The printer's margins, all different, so that a turn or a mirror moves the cover: the
// ImageableArea "10 20 577 747" on Letter and "10 20 577 963" on Legal.
constexpr double kLeft = 10, kBottom = 20, kTop = 45;

// The top-left quarter red, the rest blue: a turned or mirrored picture shows.
QImage quarteredPicture() {
    QImage picture(120, 120, QImage::Format_RGB32);
    picture.fill(kRest);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) picture.setPixel(x, y, kCorner);
    return picture;
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

// Where a cover must land on the paper as it feeds, in points from its top-left corner, and
// where the middle of the picture's top-left quarter lands.
struct Landing {
    QSizeF paper;
    QRectF cover;
    QPointF cornerQuarter;
};

// The CD front (120.65 mm square) upright on Letter; the DVD cover (271.4625 x 180.975 mm)
// on Legal, turned counter-clockwise as the printer's Plus90 turns landscape pages: its
// top-left corner at the paper's bottom-left printable corner.
Landing frontLanding() {
    const double side = 120.65 * kPointsPerMm;
    return {{612, 792}, {kLeft, kTop, side, side}, {kLeft + side / 4, kTop + side / 4}};
}
Landing dvdLanding() {
    const double w = 271.4625 * kPointsPerMm, h = 180.975 * kPointsPerMm;
    return {
        {612, 1008}, {kLeft, 1008 - kBottom - w, h, w}, {kLeft + h / 4, 1008 - kBottom - w / 4}};
}

class QueueDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        base::setProgramFolderForTesting(folder.path());
        QString error;
        ASSERT_TRUE(server.reset(&error)) << error.toStdString();
        ppd.letterArea = "10 20 577 747";
        ppd.legalArea = "10 20 577 963";
        ppd.duplex = true;
        ppd.manualCopies = true;
        pictures[cover::CoverKind::Front] = picture::LoadedPicture::made(quarteredPicture());
        pictures[cover::CoverKind::Dvd] = pictures[cover::CoverKind::Front];
    }
    void TearDown() override { base::setProgramFolderForTesting(QString()); }

    // How a job differs from one page with the cover at `where`, printed once; empty when it
    // does not.
    std::string difference(const QString& job, const QString& printer, const Landing& where) {
        const QStringList copies = server.jobCopies(job);
        if (copies != QStringList{"1"})
            return "documents printed with copies " + copies.join(", ").toStdString();
        const QString filtered = folder.filePath(QStringLiteral("filtered-%1.pdf").arg(++m_files));
        QString error;
        if (!server.throughPdftopdf(job, printer, filtered, &error)) return error.toStdString();
        const std::vector<QSizeF> pages = vexa::test::pdfPageSizes(filtered);
        if (pages != std::vector<QSizeF>{where.paper})
            return QStringLiteral("%1 pages, the first %2 x %3 pt")
                .arg(pages.size())
                .arg(pages.empty() ? 0 : pages[0].width())
                .arg(pages.empty() ? 0 : pages[0].height())
                .toStdString();
        const QImage page = vexa::test::renderPdfPage(filtered, 1, kDpi);
        const QRect box = vexa::test::inkBox(page);
        const QRectF ink(box.left() / 2.0, box.top() / 2.0, box.width() / 2.0, box.height() / 2.0);
        const QRectF& cover = where.cover;
        if (std::abs(ink.left() - cover.left()) > 1 || std::abs(ink.top() - cover.top()) > 1 ||
            std::abs(ink.right() - cover.right()) > 1 ||
            std::abs(ink.bottom() - cover.bottom()) > 1)
            return QStringLiteral("ink at %1, %2, %3 x %4 pt")
                .arg(ink.left())
                .arg(ink.top())
                .arg(ink.width())
                .arg(ink.height())
                .toStdString();
        if (!near(page.pixel((where.cornerQuarter * 2).toPoint()), kCorner))
            return "the picture turned or mirrored";
        return "";
    }

    vexa::test::CupsTestServer& server = vexa::test::cupsTestServer();
    QTemporaryDir folder;
    vexa::test::TestPpd ppd;
    cover::CoverRecords pictures;

private:
    int m_files = 0;
};

// Collects what a run tells.
struct Results : printing::PrintProgress {
    void coverStarted(const cover::CoverFormat&) override {}
    void coverFinished(const cover::CoverFormat& kind,
                       const printing::DocumentResult& result) override {
        said << (result.sent ? QStringLiteral("%1 sent").arg(kind.key)
                             : printing::coverNotice(kind, result));
    }
    bool continueAfterCover() override { return true; }
    QStringList said;
};

} // namespace

TEST_F(QueueDefaultsTest, NoDefaultOfTheQueueMovesScalesRepeatsOrAddsToACover) {
    const struct {
        const char* what;
        QStringList defaults;
    } cases[] = {
        {"turned landscape", {"orientation-requested-default=4"}},
        {"landscape, cups-filters' own option", {"landscape-default=true"}},
        {"two pages a sheet, laid out bottom to top",
         {"number-up-default=2", "number-up-layout-default=btlr"}},
        {"mirrored", {"mirror-default=true"}},
        {"a border", {"page-border-default=double"}},
        {"both sides, from the PPD's default", {"Duplex=DuplexNoTumble"}},
        {"a banner page", {"job-sheets-default=standard"}},
        {"two copies", {"copies-default=2"}},
        {"even pages only", {"page-set-default=even"}},
        {"the second page only", {"page-ranges-default=2"}},
        {"fitted to the page", {"fit-to-page-default=true"}},
        {"scaled to fit", {"print-scaling-default=fit"}},
        {"a label on every page", {"page-label-default=CONFIDENTIAL"}},
        {"a booklet", {"booklet-default=on"}},
    };
    const cover::CoverKinds both = cover::CoverKind::Front | cover::CoverKind::Dvd;
    int queue = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("defaults%1").arg(++queue);
        QString error;
        ASSERT_TRUE(server.addPrinter(name, &error, ppd)) << error.toStdString();
        ASSERT_TRUE(server.setQueueDefaults(name, c.defaults, &error)) << error.toStdString();

        printing::CupsCoverPrinter printer;
        ASSERT_TRUE(printer.usePrinter(name));
        Results results;
        printing::printSelectedCovers(both, pictures, printer, results);
        EXPECT_EQ(results.said, QStringList({"Front sent", "DVD sent"}));
        ASSERT_TRUE(server.waitUntilIdle());
        QStringList jobs = server.jobFiles(name);
        ASSERT_EQ(jobs.size(), 2);
        EXPECT_EQ(difference(jobs[0], name, frontLanding()), "");
        EXPECT_EQ(difference(jobs[1], name, dvdLanding()), "");

        // The front's very page, sent with its paper alone, is changed by the default.
        QProcess lp;
        lp.start("lp", {"-d", name, "-o", "media=na_letter_8.5x11in", jobs[0]});
        ASSERT_TRUE(lp.waitForFinished(30000) && lp.exitCode() == 0)
            << lp.readAllStandardError().toStdString();
        ASSERT_TRUE(server.waitUntilIdle());
        jobs = server.jobFiles(name);
        ASSERT_EQ(jobs.size(), 3);
        EXPECT_NE(difference(jobs[2], name, frontLanding()), "");
    }
}
