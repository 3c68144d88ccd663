#pragma once

#include "core/cover/CoverPage.h"
#include "core/cover/PrinterCalibration.h"
#include "core/printing/PagedCoverPrinter.h"

#include "core/cover/PageContent.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vexa::printing {

// Covers on a CUPS printer: every document is one page described as the PDF export and the
// preview describe it, the picture at the printable corner of the page as oriented (margins
// from libcups, turned the way the printer turns landscape pages). It goes to CUPS as a
// portrait page as the paper feeds, a landscape page turned onto it as the printer would
// turn it, unscaled, in a job of its own, so whether the server took it is known. It asks CUPS
// through libcups alone (no Qt printer support), so a print run may use it on a worker thread.
// A printer calibrated for the paper (see CalibrationStore.h) gets the page corrected by its
// calibration, unless that is switched off.
class CupsCoverPrinter final : public PagedCoverPrinter {
public:
    CupsCoverPrinter();
    ~CupsCoverPrinter() override;
    CupsCoverPrinter(const CupsCoverPrinter&) = delete;
    CupsCoverPrinter& operator=(const CupsCoverPrinter&) = delete;

    bool followDefault() override;
    cups::PrintFailure noPrinterFailure() const override { return m_noPrinter; }

    // Sends every later document to this printer instead of the default. False (and no
    // change) when no installed printer has the name.
    bool usePrinter(const QString& name);
    // Whether pages are corrected by the printer's stored calibration (they are unless told).
    void setCalibrationUsed(bool used) { m_useCalibration = used; }

    bool drawPicture(const picture::LoadedPicture& picture, base::Twips x, base::Twips y,
                     base::Twips width, base::Twips height) override;
    DocumentResult endDocument() override;

private:
    bool startDocument();
    void dropDocument();

    QString m_fixedPrinter; // empty: the default at each document's start
    cups::PrintFailure m_noPrinter = cups::PrintFailure::NoPrinter;
    // The document being drawn.
    QString m_target;
    QMarginsF m_margins; // of the page as oriented
    cover::LandscapeTurn m_turn = cover::LandscapeTurn::Plus90;
    std::optional<cover::PageContent> m_page; // as oriented
    std::optional<cover::PrinterCalibration> m_calibration;
    QString m_refused;
    QString m_cut;
    QString m_shortfall;
    QString m_calibrationProblem;
    bool m_useCalibration = true;
    // A calibration that cannot be used is told once a printer and paper, not for every cover.
    QStringList m_problemsTold;
};

} // namespace vexa::printing
