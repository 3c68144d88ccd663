#pragma once

#include "core/base/Twips.h"
#include "core/cover/CoverKind.h"

#include <QSizeF>
#include <QString>

#include <array>

namespace vexa::cover {

// How a cover lies on its page. The numbers are the usual printer-driver codes.
enum class Orientation { Portrait = 1, Landscape = 2 };
// The papers covers go on; A4 is never in the table, only the paper setting chooses it.
// The numbers are the usual printer-driver paper codes.
enum class Paper { Letter = 1, Legal = 5, A4 = 9 };

// Everything that differs from one kind of cover to the next, as far as pages and jobs need
// it. The print job, the preview and the export walk this table; the windows keep their own
// names and tips for their controls.
struct CoverFormat {
    CoverKind id;
    const char* key;   // settings key and vexa-cli option, case as written in vexa6.ini
    const char* name;  // as people say it, in sentences: "The DVD cover was not printed."
    base::Twips width; // printed size, as seen on the page in its orientation
    base::Twips height;
    Orientation orientation;
    Paper paper; // Letter or Legal
};

// In print order: the order in which covers are printed and settings read and written.
// Only DS has fractional sizes (10.87 x 4.57 inches exactly).
inline constexpr std::array<CoverFormat, kCoverKindCount> kCoverFormats{{
    {CoverKind::Front, "Front", "CD front", base::Twips(6840), base::Twips(6840),
     Orientation::Portrait, Paper::Letter},
    {CoverKind::Inside, "Inside", "CD inside", base::Twips(6840), base::Twips(6840),
     Orientation::Portrait, Paper::Letter},
    {CoverKind::Back, "Back", "CD back", base::Twips(8496), base::Twips(6696),
     Orientation::Portrait, Paper::Letter},
    {CoverKind::Mini, "Mini", "CD mini", base::Twips(4680), base::Twips(4968),
     Orientation::Landscape, Paper::Letter},
    {CoverKind::Dvd, "DVD", "DVD", base::Twips(15390), base::Twips(10260), Orientation::Landscape,
     Paper::Legal},
    {CoverKind::DvdSlim, "SLIM", "DVD slim", base::Twips(15030), base::Twips(10260),
     Orientation::Landscape, Paper::Legal},
    {CoverKind::HdDvd, "HD", "HD-DVD", base::Twips(15120), base::Twips(8460),
     Orientation::Landscape, Paper::Letter},
    {CoverKind::BluRay, "BLU", "Blu-ray", base::Twips(15120), base::Twips(8460),
     Orientation::Landscape, Paper::Letter},
    {CoverKind::Psp, "PSP", "PSP", base::Twips(11880), base::Twips(9540), Orientation::Landscape,
     Paper::Letter},
    {CoverKind::Vita, "VITA", "Vita", base::Twips(12330), base::Twips(7100), Orientation::Landscape,
     Paper::Letter},
    {CoverKind::Ds, "DS", "DS", base::Twips(15652.8), base::Twips(6580.8), Orientation::Landscape,
     Paper::Legal},
}};

// The table is in the order of the kinds.
static_assert([] {
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i)
        if (coverIndex(kCoverFormats[i].id) != i) return false;
    return true;
}());

// The format of a kind.
inline const CoverFormat& coverFormat(CoverKind kind) {
    return kCoverFormats[coverIndex(kind)];
}

// The kind's printed size, width by height in twips: the shape its picture is shown in.
inline QSizeF coverShape(CoverKind kind) {
    return QSizeF(coverFormat(kind).width.count(), coverFormat(kind).height.count());
}

// The kind at print position 1 ... 11, or nullptr.
const CoverFormat* coverFormatAt(int position);

// The kind whose key is exactly `key` ("BLU" finds one, "Blu" does not), or nullptr.
const CoverFormat* coverFormatForKey(const QString& key);

// The kind's name, spelled the same in every window, message and page ("CD front", "Blu-ray").
QString coverName(const CoverFormat& kind);
// The name in a title's capitals, each word's first letter raised ("CD Front", "Blu-ray").
QString coverTitle(const CoverFormat& kind);
// The status line while the kind is printed: "Printing CD Front Cover.".
QString printingMessage(const CoverFormat& kind);
// The tool tip of the kind's print button: "Print CD front cover.".
QString printToolTip(const CoverFormat& kind);

} // namespace vexa::cover
