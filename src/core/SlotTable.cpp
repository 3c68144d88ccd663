#include "SlotTable.h"

namespace vexa {

const CoverSlot* slotForCaption(const QString& caption) {
    for (const CoverSlot& slot : kCoverSlots)
        if (caption == QLatin1String(slot.caption)) return &slot;
    return nullptr;
}

const CoverSlot* slotForName(const QString& slotName) {
    for (const CoverSlot& slot : kCoverSlots)
        if (slotName == QLatin1String(slot.slotName)) return &slot;
    return nullptr;
}

QString tabCaption(int tab) {
    if (tab >= 0 && tab < static_cast<int>(kCoverSlots.size()))
        return QLatin1String(kCoverSlots[static_cast<size_t>(tab)].caption);
    if (tab == kScanTab) return QLatin1String(kScanCaption);
    return {};
}

} // namespace vexa
