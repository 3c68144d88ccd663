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
    const picture::LoadedPicture read{solid(4, 3, qRgb(1, 2, 3)), "JPEG bytes", "jpeg", false, {}};
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

TEST(CoverKinds, TableOrderFlagsAndSlotNames) {
    // The print order of the settings keys, and the main window's numbering of its pictures.
    const struct {
        cover::CoverKind kind;
        const char* key;
        const char* slot;
    } rows[] = {
        {cover::CoverKind::Front, "Front", "Image1"},
        {cover::CoverKind::Inside, "Inside", "Image2"},
        {cover::CoverKind::Back, "Back", "Image3"},
        {cover::CoverKind::Mini, "Mini", "Image5"},
        {cover::CoverKind::Dvd, "DVD", "Image4"},
        {cover::CoverKind::DvdSlim, "SLIM", "Image8"},
        {cover::CoverKind::HdDvd, "HD", "Image9"},
        {cover::CoverKind::BluRay, "BLU", "Image10"},
        {cover::CoverKind::Psp, "PSP", "Image6"},
        {cover::CoverKind::Vita, "VITA", "Image11"},
        {cover::CoverKind::Ds, "DS", "Image7"},
    };
    cover::CoverKinds all;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(cover::kAllCoverKinds[i], rows[i].kind) << rows[i].key;
        EXPECT_EQ(cover::coverIndex(rows[i].kind), i) << rows[i].key;
        EXPECT_STREQ(cover::coverFormat(rows[i].kind).key, rows[i].key);
        EXPECT_EQ(cover::slotObjectName(rows[i].kind), rows[i].slot);
        EXPECT_EQ(cover::coverKindForSlotName(rows[i].slot), rows[i].kind);
        EXPECT_FALSE(all.testFlag(rows[i].kind)) << "two kinds share a bit";
        all |= rows[i].kind;
    }
    EXPECT_EQ(all, cover::kEveryCoverKind);
    for (const char* other : {"Image0", "Image12", "Image20", "image1", ""})
        EXPECT_EQ(cover::coverKindForSlotName(other), std::nullopt) << other;
}

} // namespace
} // namespace vexa
