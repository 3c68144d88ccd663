#include "core/cover/CoverFormats.h"

#include <QStringList>

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace vexa;
using vexa::base::twipsToDevice;

TEST(CoverFormats, WalkingTheTableGivesThePrintOrder) {
    QStringList keys;
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        keys << QString::fromLatin1(kind.key);
    EXPECT_EQ(keys, QStringList({"Front", "Inside", "Back", "Mini", "DVD", "SLIM", "HD", "BLU",
                                 "PSP", "VITA", "DS"}));
}

TEST(CoverFormats, LookupByPositionCoversOneToEleven) {
    EXPECT_EQ(cover::coverFormatAt(0), nullptr);
    EXPECT_EQ(cover::coverFormatAt(12), nullptr);
    EXPECT_EQ(cover::coverFormatAt(-1), nullptr);
    ASSERT_NE(cover::coverFormatAt(1), nullptr);
    EXPECT_STREQ(cover::coverFormatAt(1)->key, "Front");
    EXPECT_STREQ(cover::coverFormatAt(4)->key, "Mini");
    EXPECT_STREQ(cover::coverFormatAt(11)->key, "DS");
}

TEST(CoverFormats, KeysMatchExactlyOnly) {
    ASSERT_NE(cover::coverFormatForKey("BLU"), nullptr);
    EXPECT_EQ(cover::coverFormatForKey("BLU")->id, cover::CoverKind::BluRay);
    ASSERT_NE(cover::coverFormatForKey("VITA"), nullptr);
    EXPECT_EQ(cover::coverFormatForKey("VITA")->id, cover::CoverKind::Vita);
    for (const char* other : {"Blu", "vita", "front", "DVD ", "", "Scan"})
        EXPECT_EQ(cover::coverFormatForKey(other), nullptr) << other;
}

TEST(CoverFormats, PaperAndOrientationPerKind) {
    for (const char* key : {"Front", "Inside", "Back"}) {
        EXPECT_EQ(cover::coverFormatForKey(key)->orientation, cover::Orientation::Portrait) << key;
        EXPECT_EQ(cover::coverFormatForKey(key)->paper, cover::Paper::Letter) << key;
    }
    for (const char* key : {"Mini", "HD", "BLU", "PSP", "VITA"}) {
        EXPECT_EQ(cover::coverFormatForKey(key)->orientation, cover::Orientation::Landscape) << key;
        EXPECT_EQ(cover::coverFormatForKey(key)->paper, cover::Paper::Letter) << key;
    }
    for (const char* key : {"DVD", "SLIM", "DS"}) {
        EXPECT_EQ(cover::coverFormatForKey(key)->orientation, cover::Orientation::Landscape) << key;
        EXPECT_EQ(cover::coverFormatForKey(key)->paper, cover::Paper::Legal) << key;
    }
}

TEST(CoverFormats, TwipsToDeviceKeepsFractions) {
    const cover::CoverFormat& front = *cover::coverFormatForKey("Front");
    EXPECT_EQ(twipsToDevice(front.width, 600), 2850.0);
    EXPECT_EQ(twipsToDevice(front.height, 600), 2850.0);
    const cover::CoverFormat& ds = *cover::coverFormatForKey("DS");
    EXPECT_EQ(twipsToDevice(ds.width, 600), 6522.0);
    EXPECT_EQ(twipsToDevice(ds.height, 600), 2742.0);
    EXPECT_DOUBLE_EQ(twipsToDevice(ds.width, 72), 782.64); // 10.87 in
    const cover::CoverFormat& vita = *cover::coverFormatForKey("VITA");
    EXPECT_DOUBLE_EQ(twipsToDevice(vita.height, 300), 7100.0 * 300 / 1440); // 1479.1666...
    EXPECT_EQ(twipsToDevice(vexa::base::Twips(1440), 1200), 1200.0);
}

TEST(CoverFormats, EachCoverHasOneNameSpelledAlikeInNamesTitlesTipsAndStatus) {
    struct Expected {
        const char* key;
        const char* name;
        const char* status;
        const char* tip;
    };
    const Expected expected[] = {
        {"Front", "CD front", "Printing CD Front Cover.", "Print CD front cover."},
        {"Mini", "CD mini", "Printing CD Mini Cover.", "Print CD mini cover."},
        {"SLIM", "DVD slim", "Printing DVD Slim Cover.", "Print DVD slim cover."},
        {"HD", "HD-DVD", "Printing HD-DVD Cover.", "Print HD-DVD cover."},
        {"BLU", "Blu-ray", "Printing Blu-ray Cover.", "Print Blu-ray cover."},
        {"DS", "DS", "Printing DS Cover.", "Print DS cover."},
    };
    for (const Expected& e : expected) {
        const cover::CoverFormat& kind = *cover::coverFormatForKey(QLatin1String(e.key));
        EXPECT_EQ(cover::coverName(kind), e.name);
        EXPECT_EQ(cover::printingMessage(kind), e.status);
        EXPECT_EQ(cover::printToolTip(kind), e.tip);
    }
}
