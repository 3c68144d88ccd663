#include "app/SlotTable.h"

namespace vexa::app {

const CoverSlot* slotForCaption(const QString& caption) {
    for (const CoverSlot& slot : kCoverSlots)
        if (caption == QLatin1String(slot.caption)) return &slot;
    return nullptr;
}

const CoverSlot& slotForKind(cover::CoverKind kind) {
    for (const CoverSlot& slot : kCoverSlots)
        if (slot.kind == kind) return slot;
    Q_ASSERT_X(false, "slotForKind", "every kind has its slot");
    return kCoverSlots[0];
}

QString tabCaption(int tab) {
    if (tab >= 0 && tab < static_cast<int>(kCoverSlots.size()))
        return QLatin1String(kCoverSlots[static_cast<size_t>(tab)].caption);
    if (tab == kScanTab) return QLatin1String(kScanCaption);
    return {};
}

} // namespace vexa::app
