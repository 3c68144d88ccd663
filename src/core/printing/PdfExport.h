#pragma once

#include "core/cover/SheetChoices.h"
#include "core/printing/PrintJob.h"

#include <QString>

#include <optional>

namespace vexa::printing {

// Every selected cover that has a picture into one PDF at `path`, on the chosen paper,
// pictures lossless: with one cover a page, a page per cover (and copy) in table order, each
// cover at its page's top-left corner (moved in for the marks and bleed of `trim`); packed, the
// sheets printPackedCovers makes, the whole page their printable area.
// The file appears only when complete (see PdfCoverPrinter). The number of pages written, or
// nothing when the file could not be written, holds no page, or the run was stopped.
std::optional<int> exportCoversToPdf(const cover::CoverKinds& selection,
                                     const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                     const QString& path, PrintProgress& progress,
                                     const cover::TrimOptions& trim = {},
                                     const cover::SheetChoices& sheets = {});

} // namespace vexa::printing
