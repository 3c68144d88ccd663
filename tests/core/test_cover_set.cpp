#include "CoverFormats.h"
#include "CoverSet.h"

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
    CoverSet covers;
    QSignalSpy changed(&covers, &CoverSet::pictureChanged);
    const LoadedPicture read{solid(4, 3, qRgb(1, 2, 3)), "JPEG bytes", "jpeg", false};
    covers.setPicture(CoverKind::Mini, read);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<CoverKind>(), CoverKind::Mini);
    EXPECT_EQ(covers.picture(CoverKind::Mini).bytes, QByteArray("JPEG bytes"));
    EXPECT_FALSE(covers.picture(CoverKind::Mini).changed);
    EXPECT_EQ(covers.filled(), CoverKinds(CoverKind::Mini));

    const CoverRecords copy = covers.records();
    covers.setPicture(CoverKind::Mini, LoadedPicture::made(solid(4, 3, qRgb(9, 9, 9))));
    covers.setPicture(CoverKind::Ds, LoadedPicture::made(solid(2, 2, qRgb(5, 5, 5))));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.at(2).at(0).value<CoverKind>(), CoverKind::Ds);
    EXPECT_TRUE(covers.picture(CoverKind::Mini).changed);
    EXPECT_TRUE(covers.picture(CoverKind::Mini).bytes.isEmpty());
    EXPECT_EQ(covers.filled(), CoverKind::Mini | CoverKind::Ds);
    // What a job was handed is the set as it was when the job started.
    EXPECT_EQ(copy[CoverKind::Mini].pixels.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(copy[CoverKind::Mini].bytes, QByteArray("JPEG bytes"));
    EXPECT_TRUE(copy[CoverKind::Ds].isNull());
}

TEST(CoverKinds, TableOrderFlagsAndSlotNames) {
    // The print order of the settings keys, and the main window's numbering of its pictures.
    const struct {
        CoverKind kind;
        const char* key;
        const char* slot;
    } rows[] = {
        {CoverKind::Front, "Front", "Image1"}, {CoverKind::Inside, "Inside", "Image2"},
        {CoverKind::Back, "Back", "Image3"},   {CoverKind::Mini, "Mini", "Image5"},
        {CoverKind::Dvd, "DVD", "Image4"},     {CoverKind::DvdSlim, "SLIM", "Image8"},
        {CoverKind::HdDvd, "HD", "Image9"},    {CoverKind::BluRay, "BLU", "Image10"},
        {CoverKind::Psp, "PSP", "Image6"},     {CoverKind::Vita, "VITA", "Image11"},
        {CoverKind::Ds, "DS", "Image7"},
    };
    CoverKinds all;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(kAllCoverKinds[i], rows[i].kind) << rows[i].key;
        EXPECT_EQ(coverIndex(rows[i].kind), i) << rows[i].key;
        EXPECT_STREQ(print::coverFormat(rows[i].kind).key, rows[i].key);
        EXPECT_EQ(slotObjectName(rows[i].kind), rows[i].slot);
        EXPECT_EQ(coverKindForSlotName(rows[i].slot), rows[i].kind);
        EXPECT_FALSE(all.testFlag(rows[i].kind)) << "two kinds share a bit";
        all |= rows[i].kind;
    }
    EXPECT_EQ(all, kEveryCoverKind);
    for (const char* other : {"Image0", "Image12", "Image20", "image1", ""})
        EXPECT_EQ(coverKindForSlotName(other), std::nullopt) << other;
}

} // namespace
} // namespace vexa
