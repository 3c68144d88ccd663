#pragma once

#include <QString>

#include <array>

namespace vexa {

// The main window's tab strip: tabs 0 to 10 hold the cover slots Image1 to Image11,
// tab 11 ("Scan") holds the scanned picture. The tab caption decides where the picture
// browser puts a file, compared exactly.
struct CoverSlot {
    int tab;
    const char* caption;
    const char* slotName;
};

inline constexpr std::array<CoverSlot, 11> kCoverSlots{{
    {0, "Front", "Image1"},
    {1, "Inside", "Image2"},
    {2, "Back", "Image3"},
    {3, "DVD", "Image4"},
    {4, "Mini", "Image5"},
    {5, "PSP", "Image6"},
    {6, "DS", "Image7"},
    {7, "SLIM", "Image8"},
    {8, "HD", "Image9"},
    {9, "Blu", "Image10"},
    {10, "Vita", "Image11"},
}};

inline constexpr int kScanTab = 11;
inline constexpr int kTabCount = 12;
inline constexpr const char* kScanCaption = "Scan";

// The slot whose tab has exactly this caption, or nullptr ("Scan", "blu", ...).
const CoverSlot* slotForCaption(const QString& caption);

// The slot named "Image1" ... "Image11", or nullptr.
const CoverSlot* slotForName(const QString& slotName);

// The caption of tab 0 ... 11.
QString tabCaption(int tab);

} // namespace vexa
