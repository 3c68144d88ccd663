#include "app/SlotTable.h"
#include "core/cover/CoverFormats.h"

#include <QString>

#include "support/SlotAccess.h"

#include <gtest/gtest.h>

#include <set>

using namespace vexa;

TEST(SlotTable, CaptionsAreMatchedExactly) {
    ASSERT_NE(vexa::app::slotForCaption("Blu"), nullptr);
    EXPECT_EQ(vexa::test::slotObjectName(vexa::app::slotForCaption("Blu")->kind), "Image10");
    EXPECT_EQ(vexa::test::slotObjectName(vexa::app::slotForCaption("DVD")->kind), "Image4");
    EXPECT_EQ(vexa::app::slotForCaption("BLU"), nullptr);
    EXPECT_EQ(vexa::app::slotForCaption("Scan"), nullptr);
    EXPECT_EQ(vexa::test::coverKindForSlotName("scanSlot"), std::nullopt);
    EXPECT_EQ(vexa::app::slotForKind(*vexa::test::coverKindForSlotName("Image11")).tab, 10);
    EXPECT_EQ(vexa::app::tabCaption(11), "Scan");
}

TEST(SlotTable, EverySlotOfTheMainWindowIsPrintedOnceUnderItsTabsName) {
    std::set<QString> printed;
    for (const cover::CoverFormat& kind : cover::kCoverFormats) {
        const vexa::app::CoverSlot& slot = vexa::app::slotForKind(kind.id);
        // The tab says "Blu" and "Vita" where the settings key says "BLU" and "VITA".
        EXPECT_EQ(QString::fromLatin1(slot.caption).toUpper(), QString(kind.key).toUpper());
        printed.insert(vexa::test::slotObjectName(kind.id));
    }
    EXPECT_EQ(printed.size(), vexa::app::kCoverSlots.size());
}
