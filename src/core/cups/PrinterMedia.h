#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cover/CoverPage.h"
#include "core/cover/SheetPacking.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QString>

#include <optional>

namespace vexa::cups {

// What a CUPS printer says about its papers, asked through libcups (not Qt, whose printer
// device reports portrait margins whatever the orientation).

// The unprintable margins of the paper as it stands in the printer (portrait), in points;
// nothing when the printer cannot be asked or does not know the paper.
std::optional<QMarginsF> printerPaperMargins(const QString& printer, cover::Paper paper);

// How the printer turns landscape pages: its PPD's *LandscapeOrientation, Plus90 when it
// has none (a driverless printer) or it cannot be fetched.
cover::LandscapeTurn printerLandscapeTurn(const QString& printer);

// Where covers packed onto sheets of the paper may go on the printer: the printable area of
// the paper as it feeds (the whole paper when the printer cannot tell its margins) and how it
// turns landscape pages.
cover::SheetArea printerSheetArea(const QString& printer, cover::Paper paper);

// False only when the printer lists the paper sizes it takes and the paper is not among them.
bool printerTakesPaper(const QString& printer, cover::Paper paper);

} // namespace vexa::cups
