#pragma once

#include "core/cover/CoverKind.h"

#include <QString>

#include <array>

namespace vexa::app {

// The main window's tab strip: tabs 0 to 10 hold the cover slots, tab 11 ("Scan") holds the
// scanned picture. The tab caption decides where the picture browser puts a file, compared
// exactly. Each slot's picture has an object name of its own.
struct CoverSlot {
    int tab;
    const char* caption;
    cover::CoverKind kind;
    const char* objectName;
};

inline constexpr std::array<CoverSlot, 11> kCoverSlots{{
    {0, "Front", cover::CoverKind::Front, "frontSlot"},
    {1, "Inside", cover::CoverKind::Inside, "insideSlot"},
    {2, "Back", cover::CoverKind::Back, "backSlot"},
    {3, "DVD", cover::CoverKind::Dvd, "dvdSlot"},
    {4, "Mini", cover::CoverKind::Mini, "miniSlot"},
    {5, "PSP", cover::CoverKind::Psp, "pspSlot"},
    {6, "DS", cover::CoverKind::Ds, "dsSlot"},
    {7, "SLIM", cover::CoverKind::DvdSlim, "dvdSlimSlot"},
    {8, "HD", cover::CoverKind::HdDvd, "hdDvdSlot"},
    {9, "Blu", cover::CoverKind::BluRay, "bluRaySlot"},
    {10, "Vita", cover::CoverKind::Vita, "vitaSlot"},
}};

inline constexpr int kScanTab = 11;
inline constexpr int kTabCount = 12;
inline constexpr const char* kScanCaption = "Scan";

// The slot whose tab has exactly this caption, or nullptr ("Scan", "blu", ...).
const CoverSlot* slotForCaption(const QString& caption);

// The slot that holds the kind's picture.
const CoverSlot& slotForKind(cover::CoverKind kind);

// The caption of tab 0 ... 11.
QString tabCaption(int tab);

} // namespace vexa::app
