#pragma once

#include "core/cover/CoverPage.h"
#include "core/pdf/CoverPdf.h"
#include "core/printing/PagedCoverPrinter.h"

#include "core/cover/PageContent.h"

#include <QString>

#include <memory>
#include <optional>

class QTemporaryFile;

namespace vexa::printing {

// Covers into one PDF file instead of onto paper: each document becomes one page of its
// own paper size and orientation, and the picture sits at the page's top-left corner
// (a file has no unprintable margin). The pages go into a temporary file beside the target,
// which finish() renames over it once complete: a run that fails or is killed leaves an
// existing file as it was. A link is followed to the file it leads to; a FIFO, a device or
// links in a circle are not written (see SaveTarget.h).
class PdfCoverPrinter final : public PagedCoverPrinter {
public:
    explicit PdfCoverPrinter(QString path);
    ~PdfCoverPrinter() override;
    PdfCoverPrinter(const PdfCoverPrinter&) = delete;
    PdfCoverPrinter& operator=(const PdfCoverPrinter&) = delete;

    // A file is always there to write to.
    bool followDefault() override { return true; }
    bool drawPicture(const picture::LoadedPicture& picture, base::Twips x, base::Twips y,
                     base::Twips width, base::Twips height) override;
    // The whole paper: a file has no margins.
    cover::SheetArea sheetArea(cover::Paper paper) override;
    bool drawSheet(const cover::PageContent& sheet) override;
    DocumentResult endDocument() override;

    // Completes the file and puts it in place. False when it could not be written or holds
    // no page; the target is then untouched.
    bool finish();

    int pageCount() const { return m_pdf ? m_pdf->pageCount() : 0; }

private:
    // Opens the temporary file for the first page. False when it cannot be.
    bool openFile();

    QString m_path;
    QString m_finalPath; // the file replaced: m_path, or where its links lead
    std::unique_ptr<QTemporaryFile> m_file;
    std::unique_ptr<pdf::CoverPdf> m_pdf;
    std::optional<cover::PageContent> m_page; // of the document being drawn
    QString m_shortfall;                      // of the page being drawn
    bool m_failed = false;
};

} // namespace vexa::printing
