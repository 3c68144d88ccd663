#pragma once

#include "CoverKind.h"

#include <QString>

#include <array>

namespace vexa {

// The main window's tab strip: tabs 0 to 10 hold the cover slots, tab 11 ("Scan") holds the
// scanned picture. The tab caption decides where the picture browser puts a file, compared
// exactly.
struct CoverSlot {
    int tab;
    const char* caption;
    CoverKind kind;
};

inline constexpr std::array<CoverSlot, 11> kCoverSlots{{
    {0, "Front", CoverKind::Front},
    {1, "Inside", CoverKind::Inside},
    {2, "Back", CoverKind::Back},
    {3, "DVD", CoverKind::Dvd},
    {4, "Mini", CoverKind::Mini},
    {5, "PSP", CoverKind::Psp},
    {6, "DS", CoverKind::Ds},
    {7, "SLIM", CoverKind::DvdSlim},
    {8, "HD", CoverKind::HdDvd},
    {9, "Blu", CoverKind::BluRay},
    {10, "Vita", CoverKind::Vita},
}};

inline constexpr int kScanTab = 11;
inline constexpr int kTabCount = 12;
inline constexpr const char* kScanCaption = "Scan";

// The slot whose tab has exactly this caption, or nullptr ("Scan", "blu", ...).
const CoverSlot* slotForCaption(const QString& caption);

// The slot that holds the kind's picture.
const CoverSlot& slotForKind(CoverKind kind);

// The caption of tab 0 ... 11.
QString tabCaption(int tab);

} // namespace vexa
