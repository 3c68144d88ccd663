#pragma once

#include "core/printing/PrintJob.h"

#include <QString>

#include <optional>

namespace vexa::printing {

// Every selected cover that has a picture into one PDF at `path`: a page per cover in table
// order, on the chosen paper, each cover at its page's top-left corner (moved in for the
// marks and bleed of `trim`), pictures lossless.
// The file appears only when complete (see PdfCoverPrinter). The number of pages written, or
// nothing when the file could not be written, holds no page, or the run was stopped.
std::optional<int> exportCoversToPdf(const cover::CoverKinds& selection,
                                     const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                     const QString& path, PrintProgress& progress,
                                     const cover::TrimOptions& trim = {});

} // namespace vexa::printing
