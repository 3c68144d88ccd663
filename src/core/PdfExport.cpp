#include "PdfExport.h"

#include "PdfCoverPrinter.h"

namespace vexa::print {

std::optional<int> exportCoversToPdf(const CoverKinds& selection, const CoverRecords& pictures,
                                     PaperChoice paper, const QString& path,
                                     PrintProgress& progress, const TrimOptions& trim) {
    PdfCoverPrinter printer(path);
    printer.setTrimOptions(trim);
    if (printSelectedCovers(selection, pictures, printer, progress, paper) == RunEnd::Stopped)
        return std::nullopt;
    if (!printer.finish()) return std::nullopt;
    return printer.pageCount();
}

} // namespace vexa::print
