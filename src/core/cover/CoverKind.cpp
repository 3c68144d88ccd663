#include "core/cover/CoverKind.h"

namespace vexa::cover {

namespace {
// The number in each kind's object name, by table row: the main window numbers its pictures
// in the order of its tabs, not in print order.
constexpr std::array<int, kCoverKindCount> kSlotNumbers{1, 2, 3, 5, 4, 8, 9, 10, 6, 11, 7};
} // namespace

QString slotObjectName(CoverKind kind) {
    return QStringLiteral("Image%1").arg(kSlotNumbers[coverIndex(kind)]);
}

std::optional<CoverKind> coverKindForSlotName(const QString& name) {
    for (CoverKind kind : kAllCoverKinds)
        if (name == slotObjectName(kind)) return kind;
    return std::nullopt;
}

} // namespace vexa::cover
