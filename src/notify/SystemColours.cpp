#include "notify/SystemColours.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace vexa::notify {

namespace {

struct PaletteEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Desktop colour numbers 0 ... 24 and the palette colour that plays the same part here.
constexpr std::array<PaletteEntry, 25> kEntries{{
    {QPalette::Active, QPalette::Mid},               // scroll bar
    {QPalette::Active, QPalette::Dark},              // desktop
    {QPalette::Active, QPalette::Highlight},         // active caption
    {QPalette::Inactive, QPalette::Mid},             // inactive caption
    {QPalette::Active, QPalette::Window},            // menu
    {QPalette::Active, QPalette::Base},              // window
    {QPalette::Active, QPalette::Shadow},            // window frame
    {QPalette::Active, QPalette::WindowText},        // menu text
    {QPalette::Active, QPalette::Text},              // window text
    {QPalette::Active, QPalette::HighlightedText},   // caption text
    {QPalette::Active, QPalette::Window},            // active border
    {QPalette::Inactive, QPalette::Window},          // inactive border
    {QPalette::Active, QPalette::Dark},              // application workspace
    {QPalette::Active, QPalette::Highlight},         // highlight
    {QPalette::Active, QPalette::HighlightedText},   // highlighted text
    {QPalette::Active, QPalette::Button},            // button face
    {QPalette::Active, QPalette::Dark},              // button shadow
    {QPalette::Disabled, QPalette::Text},            // grey text
    {QPalette::Active, QPalette::ButtonText},        // button text
    {QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
    {QPalette::Active, QPalette::Light},             // button highlight
    {QPalette::Active, QPalette::Shadow},            // dark 3D shadow
    {QPalette::Active, QPalette::Midlight},          // 3D light
    {QPalette::Active, QPalette::ToolTipText},       // tool tip text
    {QPalette::Active, QPalette::ToolTipBase},       // tool tip background
}};

} // namespace

std::optional<std::int32_t> systemColour(std::int32_t value) {
    if (value >= 0) return std::nullopt;
    const auto index = static_cast<std::uint32_t>(value) & 0x7FFFFFFFu;
    if (index >= kEntries.size()) return std::nullopt;
    const PaletteEntry& entry = kEntries[index];
    const QColor colour = QGuiApplication::palette().color(entry.group, entry.role);
    return colour.red() + colour.green() * 256 + colour.blue() * 65536;
}

} // namespace vexa::notify
