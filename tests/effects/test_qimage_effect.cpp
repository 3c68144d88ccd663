// The QImage bridge: format conversion, and the picture left alone unless the effect
// completes.

#include "effects/QImageEffect.h"

#include <gtest/gtest.h>

namespace vexa::effects {
namespace {

EffectEngine engine; // one for this test program, as for the program's run

TEST(QImageEffect, RunsOnRgb32InPlaceAndKeepsSharedCopiesApart) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const QImage copy = image; // shares the pixels until one side writes
    std::int32_t progress = 0;
    EXPECT_EQ(applyEffect(engine, image, 2, 0, progress).status, EffectStatus::Done);
    EXPECT_EQ(image.pixel(2, 1), qRgb(245, 235, 225));
    EXPECT_EQ(copy.pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(progress, 100);
}

TEST(QImageEffect, ASharedPictureIsLeftAsItWasUnlessTheEffectCompletes) {
    // Large enough for a working copy of its own, in a buffer of the engine's.
    QImage image(1200, 900, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const QImage copy = image;
    std::int32_t progress = 0;
    EXPECT_EQ(applyEffect(engine, image, 2, 0, progress, [] { return false; }).status,
              EffectStatus::Cancelled);
    EXPECT_EQ(image.constBits(), copy.constBits()); // still the same shared pixels
    EXPECT_EQ(applyEffect(engine, image, 2, 0, progress).status, EffectStatus::Done);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(1199, 899), qRgb(245, 235, 225));
    image.setPixel(0, 0, qRgb(1, 2, 3)); // the result is the caller's to change
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(copy.pixel(0, 0), qRgb(10, 20, 30));
}

TEST(QImageEffect, ADroppedResultsMemoryServesTheNextResult) {
    QImage original(1200, 900, QImage::Format_RGB32);
    original.fill(qRgb(10, 20, 30));
    std::int32_t progress = 0;
    const uchar* dropped = nullptr;
    {
        QImage first = original;
        ASSERT_EQ(applyEffect(engine, first, 2, 0, progress).status, EffectStatus::Done);
        dropped = first.constBits();
    }
    // A smaller picture fits the kept buffer too; its result holds every pixel of its own.
    QImage smaller = original.copy(0, 0, 1000, 700);
    const QImage kept = smaller;
    ASSERT_EQ(applyEffect(engine, smaller, 12, 0, progress).status, EffectStatus::Done);
    EXPECT_EQ(smaller.constBits(), dropped);
    EXPECT_EQ(smaller.size(), QSize(1000, 700));
    EXPECT_EQ(smaller.bytesPerLine(), 4000);
    for (const QPoint at : {QPoint(0, 0), QPoint(999, 0), QPoint(0, 699), QPoint(999, 699)})
        EXPECT_EQ(smaller.pixel(at), qRgb(20, 20, 20));
    EXPECT_EQ(kept.pixel(999, 699), qRgb(10, 20, 30));
    EXPECT_EQ(original.pixel(1199, 899), qRgb(10, 20, 30));
}

TEST(QImageEffect, ConvertsOtherFormatsOnlyWhenTheEffectCompletes) {
    QImage gray(4, 4, QImage::Format_Grayscale8);
    gray.fill(100);
    std::int32_t progress = 0;
    EXPECT_EQ(applyEffect(engine, gray, 1, -8, progress).status, EffectStatus::Refused);
    EXPECT_EQ(gray.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(applyEffect(engine, gray, 12, 0, progress, [] { return false; }).status,
              EffectStatus::Cancelled);
    EXPECT_EQ(gray.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(applyEffect(engine, gray, 2, 0, progress).status, EffectStatus::Done);
    EXPECT_EQ(gray.format(), QImage::Format_RGB32);
    EXPECT_EQ(gray.pixel(3, 3), qRgb(155, 155, 155));
}

TEST(QImageEffect, ANullImageIsAnEmptyPicture) {
    QImage none;
    std::int32_t progress = 0;
    EXPECT_EQ(applyEffect(engine, none, 2, 0, progress).status, EffectStatus::Done);
    EXPECT_TRUE(none.isNull());
}

} // namespace
} // namespace vexa::effects
