#include "PdfExport.h"

#include "PdfCoverPrinter.h"

namespace vexa::print {

std::optional<int> exportCoversToPdf(const PrintFlags& flags, const CoverHost& pictures,
                                     PaperChoice paper, const QString& path,
                                     PrintProgress& progress, const TrimOptions& trim) {
    PdfCoverPrinter printer(path);
    printer.setTrimOptions(trim);
    if (printSelectedCovers(flags, pictures, printer, progress, paper) == RunEnd::Stopped)
        return std::nullopt;
    if (!printer.finish()) return std::nullopt;
    return printer.pageCount();
}

} // namespace vexa::print
