// The previews' stretched copies: small pictures at once, large ones smooth from a worker with
// a quick copy meanwhile, and a copy that arrives for a picture no longer shown is dropped.
#include "support/FakeXdgOpen.h"
#include "support/TestSupport.h"
#include "widgets/PictureHolder.h"

#include <QCoreApplication>

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
