#pragma once

#include "PagedCoverPrinter.h"

#include <QString>

#include <memory>

class QTemporaryFile;

namespace vexa::print {

class CoverPdf;

// Covers on a CUPS printer: every document is one page drawn into a PDF by the same routine
// as the PDF export, the picture at the printable corner of the page as oriented (margins
// from libcups, turned the way the printer turns landscape pages), and handed to CUPS as a
// job of its own, so whether the server took it is known. It asks CUPS through libcups alone
// (no Qt printer support), so a print run may use it on a worker thread.
class CupsCoverPrinter final : public PagedCoverPrinter {
public:
    CupsCoverPrinter();
    ~CupsCoverPrinter() override;
    CupsCoverPrinter(const CupsCoverPrinter&) = delete;
    CupsCoverPrinter& operator=(const CupsCoverPrinter&) = delete;

    bool followDefault() override;
    PrintFailure noPrinterFailure() const override { return m_noPrinter; }

    // Sends every later document to this printer instead of the default. False (and no
    // change) when no installed printer has the name.
    bool usePrinter(const QString& name);

    bool drawPicture(const LoadedPicture& picture, Twips x, Twips y, Twips width,
                     Twips height) override;
    DocumentResult endDocument() override;

private:
    bool startDocument();
    void dropDocument();

    QString m_fixedPrinter; // empty: the default at each document's start
    PrintFailure m_noPrinter = PrintFailure::NoPrinter;
    // The document being drawn.
    QString m_target;
    QMarginsF m_margins; // of the page as oriented
    std::unique_ptr<QTemporaryFile> m_file;
    std::unique_ptr<CoverPdf> m_pdf;
    QString m_refused;
    QString m_cut;
};

} // namespace vexa::print
