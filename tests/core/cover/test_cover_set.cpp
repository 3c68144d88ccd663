#include "core/cover/CoverFormats.h"
#include "core/cover/CoverSet.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace vexa {
namespace {

QImage solid(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

TEST(CoverSet, EachSetTellsItsKindOnceAndAJobsCopyStaysAsItWas) {
    cover::CoverSet covers;
    QSignalSpy changed(&covers, &cover::CoverSet::pictureChanged);
    picture::LoadedPicture read;
    read.pixels = solid(4, 3, qRgb(1, 2, 3));
    read.bytes = "JPEG bytes";
    read.format = "jpeg";
    covers.setPicture(cover::CoverKind::Mini, read);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<cover::CoverKind>(), cover::CoverKind::Mini);
    EXPECT_EQ(covers.picture(cover::CoverKind::Mini).bytes, QByteArray("JPEG bytes"));
    EXPECT_FALSE(covers.picture(cover::CoverKind::Mini).changed);
    EXPECT_EQ(covers.filled(), cover::CoverKinds(cover::CoverKind::Mini));

    const cover::CoverRecords copy = covers.records();
    covers.setPicture(cover::CoverKind::Mini,
                      picture::LoadedPicture::made(solid(4, 3, qRgb(9, 9, 9))));
    covers.setPicture(cover::CoverKind::Ds,
                      picture::LoadedPicture::made(solid(2, 2, qRgb(5, 5, 5))));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.at(2).at(0).value<cover::CoverKind>(), cover::CoverKind::Ds);
    EXPECT_TRUE(covers.picture(cover::CoverKind::Mini).changed);
    EXPECT_TRUE(covers.picture(cover::CoverKind::Mini).bytes.isEmpty());
    EXPECT_EQ(covers.filled(), cover::CoverKind::Mini | cover::CoverKind::Ds);
    // What a job was handed is the set as it was when the job started.
    EXPECT_EQ(copy[cover::CoverKind::Mini].pixels.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(copy[cover::CoverKind::Mini].bytes, QByteArray("JPEG bytes"));
    EXPECT_TRUE(copy[cover::CoverKind::Ds].isNull());
}

TEST(CoverKinds, TableOrderAndFlags) {
    // The print order of the settings keys.
    const struct {
        cover::CoverKind kind;
        const char* key;
    } rows[] = {
        {cover::CoverKind::Front, "Front"}, {cover::CoverKind::Inside, "Inside"},
        {cover::CoverKind::Back, "Back"},   {cover::CoverKind::Mini, "Mini"},
        {cover::CoverKind::Dvd, "DVD"},     {cover::CoverKind::DvdSlim, "SLIM"},
        {cover::CoverKind::HdDvd, "HD"},    {cover::CoverKind::BluRay, "BLU"},
        {cover::CoverKind::Psp, "PSP"},     {cover::CoverKind::Vita, "VITA"},
        {cover::CoverKind::Ds, "DS"},
    };
    cover::CoverKinds all;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(cover::kAllCoverKinds[i], rows[i].kind) << rows[i].key;
        EXPECT_EQ(cover::coverIndex(rows[i].kind), i) << rows[i].key;
        EXPECT_STREQ(cover::coverFormat(rows[i].kind).key, rows[i].key);
        EXPECT_FALSE(all.testFlag(rows[i].kind)) << "two kinds share a bit";
        all |= rows[i].kind;
    }
    EXPECT_EQ(all, cover::kEveryCoverKind);
}

} // namespace
} // namespace vexa
