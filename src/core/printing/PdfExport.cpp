#include "core/printing/PdfExport.h"

#include "core/printing/PdfCoverPrinter.h"
#include "core/printing/SheetRun.h"

namespace vexa::printing {

std::optional<int> exportCoversToPdf(const cover::CoverKinds& selection,
                                     const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                     const QString& path, PrintProgress& progress,
                                     const cover::TrimOptions& trim,
                                     const cover::SheetChoices& sheets) {
    PdfCoverPrinter printer(path);
    if (printCovers(selection, pictures, printer, progress, paper, sheets, trim) == RunEnd::Stopped)
        return std::nullopt;
    if (!printer.finish()) return std::nullopt;
    return printer.pageCount();
}

} // namespace vexa::printing
