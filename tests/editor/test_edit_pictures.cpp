// The one-step undo of the Cover Manipulator's pictures.
#include "editor/EditPictures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using vexa::editor::EditPictures;
using vexa::test::solidImage;

namespace {

const QImage kOpened = solidImage(4, 3, qRgb(10, 10, 10));
const QImage kFirst = solidImage(4, 3, qRgb(20, 20, 20));
const QImage kSecond = solidImage(3, 4, qRgb(30, 30, 30));

} // namespace

TEST(EditPictures, UndoRightAfterOpeningGivesTheOpenedPicture) {
    EditPictures pictures(kOpened);
    pictures.undo();
    EXPECT_EQ(pictures.current(), kOpened);
}

TEST(EditPictures, EachOperationKeepsThePictureBeforeIt) {
    EditPictures pictures(kOpened);
    pictures.apply(kFirst);
    EXPECT_EQ(pictures.current(), kFirst);
    EXPECT_EQ(pictures.undoPicture(), kOpened);
    pictures.apply(kSecond);
    EXPECT_EQ(pictures.undoPicture(), kFirst);
    EXPECT_EQ(pictures.opened(), kOpened);
}

TEST(EditPictures, UndoTwiceGivesTheSamePictureBothTimes) {
    EditPictures pictures(kOpened);
    pictures.apply(kFirst);
    pictures.apply(kSecond);
    pictures.undo();
    EXPECT_EQ(pictures.current(), kFirst);
    pictures.undo();
    EXPECT_EQ(pictures.current(), kFirst);
    EXPECT_EQ(pictures.current().size(), QSize(4, 3)); // the size before the change, too
}

TEST(EditPictures, AfterAnUndoTheNextOperationStoresTheRestoredPicture) {
    EditPictures pictures(kOpened);
    pictures.apply(kFirst);
    pictures.apply(kSecond);
    pictures.undo(); // back to kFirst
    const QImage third = solidImage(2, 2, qRgb(40, 40, 40));
    pictures.apply(third);
    EXPECT_EQ(pictures.undoPicture(), kFirst);
    pictures.undo();
    EXPECT_EQ(pictures.current(), kFirst); // not kOpened, the state before the first undo
}

TEST(EditPictures, ActivationDropsEditsButKeepsTheUndoStep) {
    EditPictures pictures(kOpened);
    pictures.apply(kFirst);
    pictures.apply(kSecond);
    pictures.activate();
    EXPECT_EQ(pictures.current(), kOpened);
    EXPECT_EQ(pictures.undoPicture(), kFirst);
}

TEST(EditPictures, CopiesShareThePixelsUntilWritten) {
    const QImage big = solidImage(1000, 1000, qRgb(1, 2, 3));
    EditPictures pictures(big);
    EXPECT_EQ(pictures.opened().constBits(), big.constBits());
    EXPECT_EQ(pictures.current().constBits(), big.constBits());
    EXPECT_EQ(pictures.undoPicture().constBits(), big.constBits());
}

TEST(EditPictures, AnEmptyPictureIsHandledLikeAnyOther) {
    EditPictures pictures{QImage()};
    pictures.apply(QImage());
    pictures.undo();
    pictures.activate();
    EXPECT_TRUE(pictures.current().isNull());
}
