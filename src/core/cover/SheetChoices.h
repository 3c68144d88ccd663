#pragma once

#include <QString>

#include <optional>

namespace vexa::cover {

// How the chosen covers go onto paper: each on a sheet of its own, or as many to a sheet as
// fit.
enum class SheetLayout { OneCoverAPage, AsManyAsFit };

inline constexpr int kMinCopies = 1;
inline constexpr int kMaxCopies = 20;

// The print choices about sheets, kept together: how covers share them, and how many copies
// of each chosen cover are printed. One cover a page and one copy, as VEXA always printed,
// unless chosen.
struct SheetChoices {
    SheetLayout layout = SheetLayout::OneCoverAPage;
    int copies = kMinCopies;

    bool packs() const { return layout == SheetLayout::AsManyAsFit; }
    bool operator==(const SheetChoices&) const = default;
};

// "AsManyAsFit" in any case packs; any other text, or none, is one cover a page.
SheetLayout sheetLayoutFromText(const QString& text);
// The text kept in the settings file: "OneCoverAPage" or "AsManyAsFit".
QString sheetLayoutText(SheetLayout layout);

// A whole number of copies from 1 to 20 (blanks around it allowed); nothing for anything else.
std::optional<int> copiesFromText(const QString& text);

// [PRINT] Sheets and Copies in the settings file; one cover a page and one copy when missing
// or not understood.
SheetChoices rememberedSheets();
void rememberSheets(const SheetChoices& choices);

} // namespace vexa::cover
