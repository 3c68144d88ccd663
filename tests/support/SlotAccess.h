#pragma once

// Cover pictures reached by their slot's object name ("Image1" ... "Image11"), as a test
// names them: through the main window or a stand-in for it.

#include "core/cover/CoverSet.h"
#include "widgets/CoverHost.h"

#include <QImage>
#include <QString>

#include <array>
#include <optional>

namespace vexa::test {

// The tests name a cover's slot "Image1" ... "Image11", numbered in the order of the main
// window's tabs (Front, Inside, Back, DVD, Mini, PSP, DS, SLIM, HD, Blu, Vita).
inline QString slotObjectName(cover::CoverKind kind) {
    constexpr std::array<int, cover::kCoverKindCount> numbers{1, 2, 3, 5, 4, 8, 9, 10, 6, 11, 7};
    return QStringLiteral("Image%1").arg(numbers[cover::coverIndex(kind)]);
}

inline std::optional<cover::CoverKind> coverKindForSlotName(const QString& name) {
    for (cover::CoverKind kind : cover::kAllCoverKinds)
        if (name == slotObjectName(kind)) return kind;
    return std::nullopt;
}

// The selected cover's slot name; empty while none is selected.
inline QString selectedSlotName(const widgets::CoverHost& host) {
    const std::optional<cover::CoverKind> kind = host.selectedKind();
    return kind ? slotObjectName(*kind) : QString();
}

// The pixels of the named slot's picture; null for an empty slot or an unknown name.
inline QImage slotPicture(widgets::CoverHost& host, const QString& slotName) {
    const std::optional<cover::CoverKind> kind = coverKindForSlotName(slotName);
    return kind ? host.covers().picture(*kind).pixels : QImage();
}

// Makes `picture` the named slot's picture, as one made in VEXA; unknown names change nothing.
inline void setSlotPicture(widgets::CoverHost& host, const QString& slotName,
                           const QImage& picture) {
    if (const std::optional<cover::CoverKind> kind = coverKindForSlotName(slotName))
        host.covers().setPicture(*kind, picture::LoadedPicture::made(picture));
}

} // namespace vexa::test
