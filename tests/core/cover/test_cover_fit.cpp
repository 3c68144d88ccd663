// Fit, crop and print resolution against arithmetic on pixel counts and cover sizes (the DVD
// cover is 10.6875 x 7.125 in, the CD front 4.75 in square, the DS cover 10.87 x 4.57 in).
#include "core/cover/CoverFit.h"
#include "core/cover/CoverSet.h"
#include "core/cover/PrintResolution.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace vexa::cover {
namespace {

void expectRect(const QRectF& got, const QRectF& expected) {
    EXPECT_NEAR(got.left(), expected.left(), 1e-9);
    EXPECT_NEAR(got.top(), expected.top(), 1e-9);
    EXPECT_NEAR(got.width(), expected.width(), 1e-9);
    EXPECT_NEAR(got.height(), expected.height(), 1e-9);
}

TEST(CoverFit, PartAndPlaceOfEachFit) {
    // A 300 x 200 cover at (10, 20).
    const QRectF cover(10, 20, 300, 200);
    const struct {
        const char* name;
        QSize pixels;
        Framing framing;
        QRectF part;
        QRectF place;
    } cases[] = {
        {"stretch keeps everything", {100, 100}, {CoverFit::Stretch, {0, 1}}, {0, 0, 1, 1}, cover},
        // 400 x 100 scaled by 2 is 800 x 200: 300 of 800 shown, 500 over.
        {"fill wide, centred",
         {400, 100},
         {CoverFit::Fill, {0.5, 0.5}},
         {0.5 * 500 / 800, 0, 300.0 / 800, 1},
         cover},
        {"fill wide, at the left",
         {400, 100},
         {CoverFit::Fill, {0, 0.9}},
         {0, 0, 300.0 / 800, 1},
         cover},
        {"fill wide, at the right",
         {400, 100},
         {CoverFit::Fill, {1, 0.1}},
         {500.0 / 800, 0, 300.0 / 800, 1},
         cover},
        // 100 x 400 scaled by 3 is 300 x 1200: 200 of 1200 shown, 1000 over.
        {"fill tall, a quarter down",
         {100, 400},
         {CoverFit::Fill, {0.5, 0.25}},
         {0, 250.0 / 1200, 1, 200.0 / 1200},
         cover},
        {"fill of the cover's own shape",
         {600, 400},
         {CoverFit::Fill, {0, 0}},
         {0, 0, 1, 1},
         cover},
        {"crop out of range held to the edge",
         {400, 100},
         {CoverFit::Fill, {7, -3}},
         {500.0 / 800, 0, 300.0 / 800, 1},
         cover},
        // 400 x 100 into 300 x 200: 300 x 75, 62.5 above and below.
        {"fit wide", {400, 100}, {CoverFit::Fit, {0, 0}}, {0, 0, 1, 1}, {10, 20 + 62.5, 300, 75}},
        // 100 x 400 into 300 x 200: 50 x 200, 125 left and right.
        {"fit tall", {100, 400}, {CoverFit::Fit, {1, 1}}, {0, 0, 1, 1}, {10 + 125, 20, 50, 200}},
        {"no picture stretches", {0, 0}, {CoverFit::Fit, {0.5, 0.5}}, {0, 0, 1, 1}, cover},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FittedPicture fitted = fitPicture(c.pixels, cover, c.framing);
        expectRect(fitted.part, c.part);
        expectRect(fitted.place, c.place);
        if (c.framing.fit != CoverFit::Stretch && !c.pixels.isEmpty()) {
            // What is printed keeps the picture's proportions: part in pixels against place.
            const double shown =
                fitted.part.width() * c.pixels.width() / (fitted.part.height() * c.pixels.height());
            EXPECT_NEAR(shown, fitted.place.width() / fitted.place.height(), 1e-9);
        }
    }
}

TEST(CoverFit, DraggingMovesTheCropWithTheHandAndStopsAtTheEdges) {
    // 400 x 100 on a 300 x 200 cover: 500 over across, nothing down.
    const Framing centred{CoverFit::Fill, {0.5, 0.5}};
    const Framing right = draggedCrop(centred, {400, 100}, {300, 200}, {100, 40});
    // The picture dragged 100 to the right shows 100 more of its left: 250 - 100 of 500.
    EXPECT_NEAR(right.crop.x(), 150.0 / 500, 1e-12);
    EXPECT_EQ(right.crop.y(), 0.5); // nothing to move down
    EXPECT_EQ(right.fit, CoverFit::Fill);
    EXPECT_EQ(draggedCrop(centred, {400, 100}, {300, 200}, {-1000, 0}).crop.x(), 1.0);
    EXPECT_EQ(draggedCrop(centred, {400, 100}, {300, 200}, {1000, 0}).crop.x(), 0.0);
    // Dragging halfway there and back lands where it started.
    const Framing back = draggedCrop(right, {400, 100}, {300, 200}, {-100, 0});
    EXPECT_NEAR(back.crop.x(), 0.5, 1e-12);
}

TEST(CoverFit, KeysAndNames) {
    EXPECT_EQ(fitForKey("fill"), CoverFit::Fill);
    EXPECT_EQ(fitForKey("FIT"), CoverFit::Fit);
    EXPECT_EQ(fitForKey("Stretch"), CoverFit::Stretch);
    EXPECT_EQ(fitForKey("fits"), std::nullopt);
    EXPECT_EQ(fitForKey(""), std::nullopt);
    EXPECT_EQ(fitName(CoverFit::Fill), "Fill");
    EXPECT_EQ(fitKey(CoverFit::Fit), "fit");
}

TEST(PrintResolution, PixelsPerInchAlongTheWeakerAxisAfterTheFit) {
    const CoverFormat& dvd = coverFormat(CoverKind::Dvd);
    const CoverFormat& front = coverFormat(CoverKind::Front);
    const CoverFormat& ds = coverFormat(CoverKind::Ds);
    const struct {
        const CoverFormat& kind;
        QSize pixels;
        CoverFit fit;
        double dpi;
        const char* text;
        const char* soft;
    } cases[] = {
        // 3000 / 10.6875 = 280.70 across, 2000 / 7.125 = 280.70 down.
        {dvd, {3000, 2000}, CoverFit::Stretch, 3000 / 10.6875, "DVD: 3000 x 2000 px, 280 dpi", ""},
        // 1000 / 4.75 = 210.5 across, 500 / 4.75 = 105.3 down: stretched and filled alike.
        {front,
         {1000, 500},
         CoverFit::Stretch,
         500 / 4.75,
         "CD front: 1000 x 500 px, 105 dpi",
         "will print soft: 105 dpi"},
        {front,
         {1000, 500},
         CoverFit::Fill,
         500 / 4.75,
         "CD front: 1000 x 500 px, 105 dpi",
         "will print soft: 105 dpi"},
        // Fitted, the 1000 pixels span the 4.75 in.
        {front, {1000, 500}, CoverFit::Fit, 1000 / 4.75, "CD front: 1000 x 500 px, 210 dpi", ""},
        // 500 x 500 on the DVD: 46.8 across, 70.2 down; fitted, the 7.125 in height.
        {dvd,
         {500, 500},
         CoverFit::Stretch,
         500 / 10.6875,
         "DVD: 500 x 500 px, 46 dpi",
         "will print soft: 46 dpi"},
        {dvd,
         {500, 500},
         CoverFit::Fit,
         500 / 7.125,
         "DVD: 500 x 500 px, 70 dpi",
         "will print soft: 70 dpi"},
        // Either side of 150: 713 / 4.75 = 150.1 is not soft, 712 / 4.75 = 149.9 is.
        {front, {713, 713}, CoverFit::Stretch, 713 / 4.75, "CD front: 713 x 713 px, 150 dpi", ""},
        {front,
         {712, 712},
         CoverFit::Stretch,
         712 / 4.75,
         "CD front: 712 x 712 px, 149 dpi",
         "will print soft: 149 dpi"},
        // The DS cover's fractional inches: 2000 / 10.87 = 183.99, 800 / 4.57 = 175.05.
        {ds, {2000, 800}, CoverFit::Fill, 800 / 4.57, "DS: 2000 x 800 px, 175 dpi", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NEAR(printDpi(c.pixels, c.kind, c.fit), c.dpi, 1e-9);
        EXPECT_EQ(resolutionText(c.pixels, c.kind, c.fit), QString::fromLatin1(c.text));
        EXPECT_EQ(softPrintText(c.pixels, c.kind, c.fit), QString::fromLatin1(c.soft));
    }
    EXPECT_EQ(printDpi(QSize(), dvd, CoverFit::Fill), 0);
    EXPECT_TRUE(softPrintText(QSize(), dvd, CoverFit::Fill).isEmpty());
}

TEST(CoverSet, AFitStaysWithItsCoverAndANewPictureStartsCentred) {
    CoverSet covers;
    QSignalSpy framed(&covers, &CoverSet::framingChanged);
    QImage pixels(40, 10, QImage::Format_RGB32);
    pixels.fill(Qt::gray);
    covers.setPicture(CoverKind::Dvd, picture::LoadedPicture::made(pixels));
    EXPECT_EQ(covers.framing(CoverKind::Dvd), Framing()); // Stretch until chosen
    const Framing chosen{CoverFit::Fill, {0.1, 0.9}};
    covers.setFraming(CoverKind::Dvd, chosen);
    covers.setFraming(CoverKind::Dvd, chosen); // no change, no signal
    ASSERT_EQ(framed.count(), 1);
    EXPECT_EQ(framed.at(0).at(0).value<CoverKind>(), CoverKind::Dvd);
    const CoverRecords copy = covers.records();
    EXPECT_EQ(copy.framing(CoverKind::Dvd), chosen);
    EXPECT_EQ(copy.framing(CoverKind::Front), Framing());

    covers.setPicture(CoverKind::Dvd, picture::LoadedPicture::made(pixels));
    EXPECT_EQ(covers.framing(CoverKind::Dvd), (Framing{CoverFit::Fill, {0.5, 0.5}}));
    EXPECT_EQ(copy.framing(CoverKind::Dvd), chosen); // a job's copy stays as it was
}

} // namespace
} // namespace vexa::cover
