// Undo and Redo of the cover set without a window: put, remove and the Cover Manipulator's
// Accept, at least 50 steps, and the oldest steps dropped past the memory budget.
#include "support/TestSupport.h"

#include "core/project/CoverHistory.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace vexa;
using cover::CoverKind;

namespace {

picture::LoadedPicture madePicture(int width, int height) {
    return picture::LoadedPicture::made(test::patternImage(width, height));
}

qint64 key(const cover::CoverSet& covers, CoverKind kind) {
    return covers.picture(kind).pixels.cacheKey();
}

} // namespace

TEST(CoverHistory, UndoesAndRedoesPutRemoveAndAccept) {
    cover::CoverSet covers;
    project::CoverHistory history(covers, qint64(1) << 30);
    QSignalSpy changed(&covers, &cover::CoverSet::pictureChanged);
    const picture::LoadedPicture a = madePicture(10, 10);
    const picture::LoadedPicture b = madePicture(12, 10);
    history.putPicture(CoverKind::Front, a);
    history.putPicture(CoverKind::Dvd, b);
    const picture::LoadedPicture edit = b.edited(b.pixels.mirrored());
    history.acceptEdit(CoverKind::Dvd, edit, covers.framing(CoverKind::Dvd));
    history.removePicture(CoverKind::Front);
    EXPECT_EQ(changed.count(), 4);
    EXPECT_EQ(history.stack().undoText(), "Remove Picture");

    // Steps that change nothing are none.
    history.removePicture(CoverKind::Front);
    history.acceptEdit(CoverKind::Dvd, covers.picture(CoverKind::Dvd),
                       covers.framing(CoverKind::Dvd));
    EXPECT_EQ(history.stack().count(), 4);

    QUndoStack& stack = history.stack();
    stack.undo(); // the removal
    EXPECT_EQ(key(covers, CoverKind::Front), a.pixels.cacheKey());
    EXPECT_EQ(stack.undoText(), "Edit Picture");
    stack.undo(); // the Accept
    EXPECT_EQ(key(covers, CoverKind::Dvd), b.pixels.cacheKey());
    stack.undo();
    EXPECT_TRUE(covers.picture(CoverKind::Dvd).isNull());
    stack.undo();
    EXPECT_EQ(covers.filled(), cover::CoverKinds());
    EXPECT_FALSE(stack.canUndo());

    for (int i = 0; i < 4; ++i) stack.redo();
    EXPECT_EQ(covers.filled(), cover::CoverKinds(CoverKind::Dvd));
    EXPECT_EQ(key(covers, CoverKind::Dvd), edit.pixels.cacheKey());
    EXPECT_EQ(covers.picture(CoverKind::Dvd).origin.path, b.origin.path);
}

TEST(CoverHistory, KeepsAtLeastFiftySteps) {
    cover::CoverSet covers;
    project::CoverHistory history(covers, qint64(1) << 30);
    std::vector<qint64> keys;
    for (int i = 0; i < 60; ++i) {
        history.putPicture(CoverKind::Back, madePicture(4, 4));
        keys.push_back(key(covers, CoverKind::Back));
    }
    ASSERT_EQ(history.stack().count(), 60);
    for (int i = 59; i > 0; --i) {
        history.stack().undo();
        ASSERT_EQ(key(covers, CoverKind::Back), keys[std::size_t(i - 1)]);
    }
    history.stack().undo();
    EXPECT_TRUE(covers.picture(CoverKind::Back).isNull());
}

TEST(CoverHistory, DropsTheOldestStepsPastItsMemoryBudget) {
    // 100 x 100 pixels of RGB32: 40,000 bytes each; room for three besides the set's own.
    constexpr qint64 kPicture = 100 * 100 * 4;
    cover::CoverSet covers;
    project::CoverHistory history(covers, 3 * kPicture);
    QUndoStack& stack = history.stack();
    history.putPicture(CoverKind::Mini, madePicture(100, 100));
    stack.setClean(); // saved after the first step
    QSignalSpy index(&stack, &QUndoStack::indexChanged);
    QSignalSpy clean(&stack, &QUndoStack::cleanChanged);
    std::vector<qint64> keys{key(covers, CoverKind::Mini)};
    for (int i = 0; i < 5; ++i) {
        history.putPicture(CoverKind::Mini, madePicture(100, 100));
        keys.push_back(key(covers, CoverKind::Mini));
        EXPECT_LE(history.memoryHeld(), 3 * kPicture);
    }
    // Six pictures: the set's and three behind it are kept, so three steps back.
    EXPECT_EQ(stack.count(), 3);
    EXPECT_EQ(history.memoryHeld(), 3 * kPicture);
    EXPECT_EQ(index.last()[0].toInt(), stack.index());
    EXPECT_EQ(clean.count(), 1);       // once, on the first change after the save
    EXPECT_EQ(stack.cleanIndex(), -1); // the saved state was dropped
    for (int i = 0; i < 3; ++i) stack.undo();
    EXPECT_EQ(key(covers, CoverKind::Mini), keys[2]);
    EXPECT_FALSE(stack.canUndo());
    EXPECT_FALSE(stack.isClean());
}

TEST(CoverHistory, TheSavedStateOutlivesDroppedSteps) {
    constexpr qint64 kPicture = 100 * 100 * 4;
    cover::CoverSet covers;
    project::CoverHistory history(covers, 2 * kPicture);
    for (int i = 0; i < 4; ++i) history.putPicture(CoverKind::Psp, madePicture(100, 100));
    history.stack().setClean();
    const qint64 saved = key(covers, CoverKind::Psp);
    history.putPicture(CoverKind::Psp, madePicture(100, 100));
    EXPECT_FALSE(history.stack().isClean());
    history.stack().undo();
    EXPECT_TRUE(history.stack().isClean());
    EXPECT_EQ(key(covers, CoverKind::Psp), saved);
}

TEST(CoverHistory, TheNewestStepStaysWhateverItCosts) {
    cover::CoverSet covers;
    project::CoverHistory history(covers, 0);
    history.putPicture(CoverKind::Vita, madePicture(50, 50));
    const qint64 first = key(covers, CoverKind::Vita);
    history.putPicture(CoverKind::Vita, madePicture(50, 50));
    EXPECT_EQ(history.stack().count(), 1);
    history.stack().undo();
    EXPECT_EQ(key(covers, CoverKind::Vita), first);
}

// A quarter of the memory /proc/meminfo reports.
TEST(CoverHistory, ItsBudgetIsAQuarterOfTheMachinesMemory) {
    QFile meminfo("/proc/meminfo");
    ASSERT_TRUE(meminfo.open(QIODevice::ReadOnly));
    qint64 totalKiB = 0;
    for (const QByteArray& line : meminfo.readAll().split('\n'))
        if (line.startsWith("MemTotal:"))
            totalKiB = line.mid(9).trimmed().split(' ')[0].toLongLong();
    ASSERT_GT(totalKiB, 0);
    EXPECT_EQ(project::defaultUndoMemoryBudget(), totalKiB * 1024 / 4);
}

// A fit is a step; crop moves in a row are one step; an Accept carries its crop with it; a
// new picture keeps the fit and starts its crop centred, and Undo brings the old crop back.
TEST(CoverHistory, UndoesFitsAndCropsWithThePictures) {
    cover::CoverSet covers;
    project::CoverHistory history(covers, qint64(1) << 30);
    QUndoStack& stack = history.stack();
    history.putPicture(CoverKind::Dvd, madePicture(40, 10));
    const cover::Framing fill{cover::CoverFit::Fill, {0.5, 0.5}};
    history.setFraming(CoverKind::Dvd, fill);
    EXPECT_EQ(stack.undoText(), "Change Fit");
    for (double x : {0.4, 0.3, 0.2})
        history.setFraming(CoverKind::Dvd, cover::Framing{cover::CoverFit::Fill, {x, 0.5}});
    EXPECT_EQ(stack.count(), 3); // put, fit, one crop move
    EXPECT_EQ(stack.undoText(), "Move Crop");
    history.setFraming(CoverKind::Front, cover::Framing{cover::CoverFit::Fit, {0.5, 0.5}});
    history.setFraming(CoverKind::Front, cover::Framing{cover::CoverFit::Fit, {0.1, 0.5}});
    history.setFraming(CoverKind::Dvd, cover::Framing{cover::CoverFit::Fill, {0.1, 0.5}});
    EXPECT_EQ(stack.count(), 6); // a move of another cover between them starts a new step

    const cover::Framing accepted{cover::CoverFit::Fill, {0.9, 0.5}};
    history.acceptEdit(CoverKind::Dvd,
                       covers.picture(CoverKind::Dvd).edited(test::patternImage(40, 10)), accepted);
    EXPECT_EQ(covers.framing(CoverKind::Dvd), accepted);
    history.putPicture(CoverKind::Dvd, madePicture(50, 10));
    EXPECT_EQ(covers.framing(CoverKind::Dvd), fill); // the fit kept, the crop centred

    stack.undo(); // the put
    EXPECT_EQ(covers.framing(CoverKind::Dvd), accepted);
    stack.undo(); // the Accept
    EXPECT_EQ(covers.framing(CoverKind::Dvd).crop, QPointF(0.1, 0.5));
    for (int i = 0; i < 3; ++i) stack.undo(); // the last move, the front cover's two steps
    EXPECT_EQ(covers.framing(CoverKind::Dvd).crop, QPointF(0.2, 0.5));
    EXPECT_EQ(covers.framing(CoverKind::Front).fit, cover::CoverFit::Stretch);
    stack.undo(); // the three moves together
    EXPECT_EQ(covers.framing(CoverKind::Dvd), fill);
    stack.undo();
    EXPECT_EQ(covers.framing(CoverKind::Dvd), cover::Framing());
    for (int i = 0; i < 7; ++i) stack.redo();
    EXPECT_EQ(covers.picture(CoverKind::Dvd).pixels.width(), 50);
    EXPECT_EQ(covers.framing(CoverKind::Dvd), fill);
}

// A picture opened without its pixels gets them in the set and in every step that holds it,
// so that Undo never brings back a cover with nothing to show; other records stay as they are.
TEST(CoverHistory, DecodedPixelsReachTheStepsThatHoldThePicture) {
    const QByteArray jpeg = test::encodeWithQt(test::patternImage(64, 48), "jpeg");
    QString refusal;
    const picture::LoadedPicture checked =
        picture::readPictureData(jpeg, &refusal, picture::Decoding::NotForPassThrough);
    ASSERT_FALSE(checked.isDecoded()) << qPrintable(refusal);
    ASSERT_EQ(checked.size(), QSize(64, 48));
    cover::CoverSet covers;
    covers.setPicture(CoverKind::Front, checked);
    covers.setPicture(CoverKind::Back, checked);
    project::CoverHistory history(covers, qint64(1) << 30);
    history.putPicture(CoverKind::Front, madePicture(10, 10));

    const QImage pixels = picture::readPictureData(jpeg).pixels;
    // Equal bytes of another read are another picture.
    covers.setDecodedPixels(QByteArray(jpeg.constData(), jpeg.size()), pixels);
    EXPECT_FALSE(covers.picture(CoverKind::Back).isDecoded());
    QSignalSpy changed(&covers, &cover::CoverSet::pictureChanged);
    covers.setDecodedPixels(checked.bytes, pixels);
    history.setDecodedPixels(checked.bytes, pixels);
    EXPECT_EQ(changed.count(), 1); // the back cover; the front holds another picture now
    EXPECT_EQ(key(covers, CoverKind::Back), pixels.cacheKey());
    history.stack().undo();
    EXPECT_EQ(key(covers, CoverKind::Front), pixels.cacheKey());
    EXPECT_EQ(covers.picture(CoverKind::Front).bytes.constData(), checked.bytes.constData());
}
