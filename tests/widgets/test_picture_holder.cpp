// The previews' stretched copies: small pictures at once, large ones smooth from a worker with
// a quick copy meanwhile, and a copy that arrives for a picture no longer shown is dropped.
#include "support/FakeXdgOpen.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace vexa;
using vexa::test::patternImage;

namespace {

QImage shown(widgets::PictureHolder& holder) {
    return holder.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage stretched(const QImage& picture, Qt::TransformationMode mode) {
    return picture.scaled(160, 120, Qt::IgnoreAspectRatio, mode)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(PictureHolder, LargePicturesAreStretchedOnAWorkerSmallOnesAtOnce) {
    widgets::PictureHolder holder;
    holder.resize(160, 120);
    holder.show();

    const QImage small = patternImage(1600, 1200); // 1.92 megapixels
    holder.setPicture(small);
    EXPECT_EQ(shown(holder), stretched(small, Qt::SmoothTransformation));
    EXPECT_FALSE(holder.isScaling());

    const QImage large = patternImage(2000, 1500);
    holder.setPicture(large);
    EXPECT_EQ(shown(holder), stretched(large, Qt::FastTransformation));
    EXPECT_TRUE(holder.isScaling());
    ASSERT_TRUE(test::waitUntil([&] { return !holder.isScaling(); }));
    EXPECT_EQ(shown(holder), stretched(large, Qt::SmoothTransformation));

    // Another picture while the first is still being stretched: only the last one shows.
    const QImage other = patternImage(1500, 2000);
    holder.setPicture(large.mirrored(true, false));
    shown(holder);
    holder.setPicture(other);
    shown(holder);
    ASSERT_TRUE(test::waitUntil([&] { return !holder.isScaling(); }));
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(); // any late copy arrives
    EXPECT_EQ(shown(holder), stretched(other, Qt::SmoothTransformation));
}

namespace {

QImage halves(QRgb left, QRgb right) {
    QImage picture(400, 100, QImage::Format_RGB32);
    picture.fill(left);
    for (int y = 0; y < 100; ++y)
        for (int x = 200; x < 400; ++x) picture.setPixel(x, y, right);
    return picture;
}

void sendMouse(QWidget& widget, QEvent::Type type, const QPointF& at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(PictureHolder, FillShowsTheCropAndFitTheWholePictureOnWhite) {
    widgets::PictureHolder holder;
    holder.resize(200, 100);
    holder.setPictureShape(QSizeF(2, 1)); // the cover fills the holder
    holder.show();
    const QRgb red = qRgb(220, 0, 0), blue = qRgb(0, 0, 220), green = qRgb(0, 160, 0);
    holder.setPicture(halves(red, blue));
    // Filled, the 400 x 100 picture shows 200 of its columns.
    const struct {
        double crop;
        QRgb left, right;
    } crops[] = {{0, red, red}, {0.5, red, blue}, {1, blue, blue}};
    for (const auto& c : crops) {
        holder.setFraming({cover::CoverFit::Fill, {c.crop, 0.5}});
        const QImage seen = shown(holder);
        EXPECT_EQ(seen.pixel(40, 50), c.left) << c.crop;
        EXPECT_EQ(seen.pixel(160, 50), c.right) << c.crop;
    }
    // Fitted, a square picture stands in the middle 100 columns, white either side.
    holder.setPicture(test::solidImage(100, 100, green));
    holder.setFraming({cover::CoverFit::Fit, {0.5, 0.5}});
    const QImage fitted = shown(holder);
    EXPECT_EQ(fitted.pixel(20, 50), qRgb(255, 255, 255));
    EXPECT_EQ(fitted.pixel(100, 50), green);
    EXPECT_EQ(fitted.pixel(180, 50), qRgb(255, 255, 255));
}

TEST(PictureHolder, AFillCropFollowsTheMouseAndTheArrowKeys) {
    widgets::PictureHolder holder;
    holder.resize(200, 100);
    holder.setPictureShape(QSizeF(2, 1));
    holder.setPicture(halves(qRgb(220, 0, 0), qRgb(0, 0, 220)));
    holder.setCropMovable(true);
    holder.show();
    std::vector<double> moves;
    QObject::connect(
        &holder, &widgets::PictureHolder::cropMoved,
        [&moves](const cover::Framing& framing) { moves.push_back(framing.crop.x()); });

    // Stretched, there is nothing to move.
    sendMouse(holder, QEvent::MouseButtonPress, {100, 50}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(holder, QEvent::MouseMove, {150, 50}, Qt::NoButton, Qt::LeftButton);
    sendMouse(holder, QEvent::MouseButtonRelease, {150, 50}, Qt::LeftButton, Qt::NoButton);
    QTest::keyClick(&holder, Qt::Key_Left);
    EXPECT_TRUE(moves.empty());

    // 200 columns over: dragged 50 to the right, the crop moves a quarter of them left.
    holder.setFraming({cover::CoverFit::Fill, {0.5, 0.5}});
    sendMouse(holder, QEvent::MouseButtonPress, {100, 50}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(holder, QEvent::MouseMove, {150, 50}, Qt::NoButton, Qt::LeftButton);
    sendMouse(holder, QEvent::MouseButtonRelease, {150, 50}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_DOUBLE_EQ(moves[0], 0.25);
    EXPECT_DOUBLE_EQ(holder.framing().crop.x(), 0.25);
    // A key moves the picture a twentieth of the cover's width: 10 of the 200 over.
    QTest::keyClick(&holder, Qt::Key_Right);
    QTest::keyClick(&holder, Qt::Key_Left);
    QTest::keyClick(&holder, Qt::Key_Left);
    QTest::keyClick(&holder, Qt::Key_Up); // nothing over down: no move
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_DOUBLE_EQ(moves[1], 0.2);
    EXPECT_DOUBLE_EQ(moves[2], 0.25);
    EXPECT_DOUBLE_EQ(moves[3], 0.3);
    // The picture moved with the crop: now three tenths along, column 60 + 100 of the
    // picture under the holder's middle.
    EXPECT_EQ(shown(holder).pixel(30, 50), qRgb(220, 0, 0));
    EXPECT_EQ(shown(holder).pixel(150, 50), qRgb(0, 0, 220));
}
