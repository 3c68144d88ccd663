#include <CoverFormats.h>
#include <SlotTable.h>

#include <QStringList>

#include "QtPrinting.h"

#include <gtest/gtest.h>

#include <set>

using namespace vexa::print;
using vexa::twipsToDevice;

TEST(CoverFormats, WalkingTheTableGivesThePrintOrder) {
    QStringList keys;
    for (const CoverFormat& kind : kCoverFormats) keys << QString::fromLatin1(kind.key);
    EXPECT_EQ(keys, QStringList({"Front", "Inside", "Back", "Mini", "DVD", "SLIM", "HD", "BLU",
                                 "PSP", "VITA", "DS"}));
}

TEST(CoverFormats, LookupByPositionCoversOneToEleven) {
    EXPECT_EQ(coverFormatAt(0), nullptr);
    EXPECT_EQ(coverFormatAt(12), nullptr);
    EXPECT_EQ(coverFormatAt(-1), nullptr);
    ASSERT_NE(coverFormatAt(1), nullptr);
    EXPECT_STREQ(coverFormatAt(1)->key, "Front");
    EXPECT_STREQ(coverFormatAt(4)->key, "Mini");
    EXPECT_STREQ(coverFormatAt(11)->key, "DS");
}

TEST(CoverFormats, KeysMatchExactlyOnly) {
    ASSERT_NE(coverFormatForKey("BLU"), nullptr);
    EXPECT_EQ(vexa::slotObjectName(coverFormatForKey("BLU")->id), "Image10");
    ASSERT_NE(coverFormatForKey("VITA"), nullptr);
    EXPECT_EQ(vexa::slotObjectName(coverFormatForKey("VITA")->id), "Image11");
    for (const char* other : {"Blu", "vita", "front", "DVD ", "", "Scan"})
        EXPECT_EQ(coverFormatForKey(other), nullptr) << other;
}

TEST(CoverFormats, SlotsAndButtonsFollowTheirOwnNumbering) {
    // Mini prints slot 5 with button 4, DVD slot 4 with button 5.
    EXPECT_EQ(vexa::slotObjectName(coverFormatForKey("Mini")->id), "Image5");
    EXPECT_STREQ(coverFormatForKey("Mini")->button, "Command4");
    EXPECT_EQ(vexa::slotObjectName(coverFormatForKey("DVD")->id), "Image4");
    EXPECT_STREQ(coverFormatForKey("DVD")->button, "Command5");
    EXPECT_EQ(vexa::slotObjectName(coverFormatForKey("DS")->id), "Image7");
    EXPECT_STREQ(coverFormatForKey("DS")->button, "Command11");
}

TEST(CoverFormats, EverySlotOfTheMainWindowIsPrintedOnceUnderItsTabsName) {
    std::set<QString> printed;
    for (const CoverFormat& kind : kCoverFormats) {
        const vexa::CoverSlot& slot = vexa::slotForKind(kind.id);
        // The tab says "Blu" and "Vita" where the settings key says "BLU" and "VITA".
        EXPECT_EQ(QString::fromLatin1(slot.caption).toUpper(), QString(kind.key).toUpper());
        printed.insert(vexa::slotObjectName(kind.id));
    }
    EXPECT_EQ(printed.size(), vexa::kCoverSlots.size());
}

TEST(CoverFormats, PaperAndOrientationPerKind) {
    for (const char* key : {"Front", "Inside", "Back"}) {
        EXPECT_EQ(coverFormatForKey(key)->orientation, Orientation::Portrait) << key;
        EXPECT_EQ(coverFormatForKey(key)->paper, Paper::Letter) << key;
    }
    for (const char* key : {"Mini", "HD", "BLU", "PSP", "VITA"}) {
        EXPECT_EQ(coverFormatForKey(key)->orientation, Orientation::Landscape) << key;
        EXPECT_EQ(coverFormatForKey(key)->paper, Paper::Letter) << key;
    }
    for (const char* key : {"DVD", "SLIM", "DS"}) {
        EXPECT_EQ(coverFormatForKey(key)->orientation, Orientation::Landscape) << key;
        EXPECT_EQ(coverFormatForKey(key)->paper, Paper::Legal) << key;
    }
}

TEST(CoverFormats, TwipsToDeviceKeepsFractions) {
    const CoverFormat& front = *coverFormatForKey("Front");
    EXPECT_EQ(twipsToDevice(front.width, 600), 2850.0);
    EXPECT_EQ(twipsToDevice(front.height, 600), 2850.0);
    const CoverFormat& ds = *coverFormatForKey("DS");
    EXPECT_EQ(twipsToDevice(ds.width, 600), 6522.0);
    EXPECT_EQ(twipsToDevice(ds.height, 600), 2742.0);
    EXPECT_DOUBLE_EQ(twipsToDevice(ds.width, 72), 782.64); // 10.87 in
    const CoverFormat& vita = *coverFormatForKey("VITA");
    EXPECT_DOUBLE_EQ(twipsToDevice(vita.height, 300), 7100.0 * 300 / 1440); // 1479.1666...
    EXPECT_EQ(twipsToDevice(vexa::Twips(1440), 1200), 1200.0);
}

TEST(CoverFormats, NamesComeFromTheStatusMessages) {
    EXPECT_EQ(coverName(*coverFormatForKey("Front")), "CD Front");
    EXPECT_EQ(coverName(*coverFormatForKey("BLU")), "Blu-Ray");
    EXPECT_EQ(coverName(*coverFormatForKey("SLIM")), "DVD Slim");
    EXPECT_EQ(coverName(*coverFormatForKey("DS")), "DS");
}
