#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cover/CoverPage.h"

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

// False only when the printer lists the paper sizes it takes and the paper is not among them.
bool printerTakesPaper(const QString& printer, cover::Paper paper);

// Hands a finished PDF of portrait pages, as the paper feeds, to CUPS as one job on the paper,
// to be printed as it is: neither turned nor scaled. The job's id, or 0 with `error` set to
// the reason in plain words (see jobFailureReason) when the server did not take it.
int submitPdfJob(const QString& printer, const QString& pdfFile, const QString& title,
                 cover::Paper paper, QString* error);

} // namespace vexa::cups
