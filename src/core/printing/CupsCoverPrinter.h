#pragma once

#include "core/cover/CoverPage.h"
#include "core/cover/PrinterCalibration.h"
#include "core/printing/PagedCoverPrinter.h"

#include "core/cover/PageContent.h"
#include "core/cups/JobFollowing.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vexa::printing {

// Covers on a CUPS printer: every document is one page described as the PDF export and the
// preview describe it, the picture at the printable corner of the page as oriented (margins
// from libcups, turned the way the printer turns landscape pages). It goes to CUPS as a
// portrait page as the paper feeds, a landscape page turned onto it as the printer would
// turn it, unscaled, in a job of its own, so whether the server took it is known. It asks CUPS
// through libcups alone (no Qt printer support), so a print run may use it on a worker thread.
// A printer calibrated for the paper (see CalibrationStore.h) gets the page corrected by its
// calibration, unless that is switched off. A paused printer still gets the job, which waits in
// its queue, and the result says so; other jobs are followed for a few seconds once the run has
// sent them (followJobs), so that one its filters stop is told with CUPS' reason.
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
    // How long each job is followed after it was sent (cups::kJobFollowTime unless told).
    void setJobFollowTime(std::chrono::milliseconds time) { m_followTime = time; }

    bool drawPicture(const picture::LoadedPicture& picture, base::Twips x, base::Twips y,
                     base::Twips width, base::Twips height) override;
    cover::SheetArea sheetArea(cover::Paper paper) override;
    bool drawSheet(const cover::PageContent& sheet) override;
    DocumentResult endDocument() override;
    void followJobs(std::span<DocumentResult> results,
                    const std::function<bool()>& keepGoing) override;

private:
    // The printer the next document goes to; empty when there is none.
    QString nextTarget() const;
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
    bool m_paused = false; // the target holds its jobs
    bool m_useCalibration = true;
    // The jobs sent and not yet followed.
    std::vector<cups::SentJob> m_sent;
    std::chrono::milliseconds m_followTime = cups::kJobFollowTime;
    // A calibration that cannot be used is told once, not for every cover.
    QStringList m_problemsTold;
};

} // namespace vexa::printing
