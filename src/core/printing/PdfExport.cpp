#include "core/printing/PdfExport.h"

#include "core/printing/PdfCoverPrinter.h"

namespace vexa::printing {

std::optional<int> exportCoversToPdf(const cover::CoverKinds& selection,
                                     const cover::CoverRecords& pictures, cover::PaperChoice paper,
                                     const QString& path, PrintProgress& progress,
                                     const cover::TrimOptions& trim) {
    PdfCoverPrinter printer(path);
    printer.setTrimOptions(trim);
    if (printSelectedCovers(selection, pictures, printer, progress, paper) == RunEnd::Stopped)
        return std::nullopt;
    if (!printer.finish()) return std::nullopt;
    return printer.pageCount();
}

} // namespace vexa::printing
