#pragma once

// Cover pictures reached by their slot's object name ("Image1" ... "Image11"), as a test
// names them: through the main window or a stand-in for it.

#include "core/cover/CoverSet.h"
#include "widgets/CoverHost.h"

#include <QImage>
#include <QString>

namespace vexa::test {

// The selected cover's slot name; empty while none is selected.
inline QString selectedSlotName(const widgets::CoverHost& host) {
    const std::optional<cover::CoverKind> kind = host.selectedKind();
    return kind ? cover::slotObjectName(*kind) : QString();
}

// The pixels of the named slot's picture; null for an empty slot or an unknown name.
inline QImage slotPicture(widgets::CoverHost& host, const QString& slotName) {
    const std::optional<cover::CoverKind> kind = cover::coverKindForSlotName(slotName);
    return kind ? host.covers().picture(*kind).pixels : QImage();
}

// Makes `picture` the named slot's picture, as one made in VEXA; unknown names change nothing.
inline void setSlotPicture(widgets::CoverHost& host, const QString& slotName,
                           const QImage& picture) {
    if (const std::optional<cover::CoverKind> kind = cover::coverKindForSlotName(slotName))
        host.covers().setPicture(*kind, picture::LoadedPicture::made(picture));
}

} // namespace vexa::test
