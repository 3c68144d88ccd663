#include "core/printing/CupsCoverPrinter.h"

#include "core/cover/CalibrationStore.h"
#include "core/cover/CoverPageContent.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimmedCoverPage.h"
#include "core/cups/JobSubmission.h"
#include "core/cups/PrinterMedia.h"
#include "core/cups/SystemPrinters.h"

#include "core/pdf/PdfPageWriter.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>

namespace vexa::printing {

CupsCoverPrinter::CupsCoverPrinter() = default;

CupsCoverPrinter::~CupsCoverPrinter() {
    // A document left open is sent rather than lost.
    if (m_page) endDocument();
}

bool CupsCoverPrinter::followDefault() {
    m_fixedPrinter.clear();
    if (!cups::systemDefaultPrinter().isEmpty()) return true;
    m_noPrinter = cups::missingDefaultFailure();
    return false;
}

bool CupsCoverPrinter::usePrinter(const QString& name) {
    if (name.isEmpty() || !cups::installedPrinters().contains(name)) return false;
    m_fixedPrinter = name;
    return true;
}

QString CupsCoverPrinter::nextTarget() const {
    return m_fixedPrinter.isEmpty() ? cups::systemDefaultPrinter() : m_fixedPrinter;
}

bool CupsCoverPrinter::startDocument() {
    m_target = nextTarget();
    if (m_target.isEmpty()) {
        m_refused = cups::printFailureReason(cups::missingDefaultFailure());
        return false;
    }
    // Removed since it was chosen, or the server is gone.
    if (const cups::PrinterListing printers = cups::listPrinters();
        !printers.names.contains(m_target)) {
        m_refused = printers.status == cups::PrinterListing::Status::ServerUnreachable
                        ? cups::printFailureReason(cups::PrintFailure::ServerUnreachable)
                        : cups::printFailureReason(cups::PrintFailure::PrinterMissing, m_target);
        return false;
    }
    if (!cups::printerTakesPaper(m_target, paper())) {
        m_refused =
            QStringLiteral("printer %1 has no %2 paper").arg(m_target, cover::paperName(paper()));
        return false;
    }
    // Paused, it takes the job and holds it: the job is not lost, and the user is told.
    m_paused = cups::printerPaused(m_target);
    // A printer that cannot tell its margins gets the cover at the paper's corner; the job
    // itself then reports whether the printer is there at all.
    m_turn = cups::printerLandscapeTurn(m_target);
    m_margins = cover::orientedMargins(
        cups::printerPaperMargins(m_target, paper()).value_or(QMarginsF()), orientation(), m_turn);
    m_calibration.reset();
    if (m_useCalibration) {
        const cover::StoredCalibration stored =
            cover::settingsCalibrations().read(m_target, paper());
        m_calibration = stored.calibration;
        // Each problem once: a line's names its printer and paper, a broken header's is the
        // same whatever is printed.
        QStringList problems;
        for (const QString& problem : {stored.problem, stored.sectionProblem})
            if (!problem.isEmpty() && !m_problemsTold.contains(problem)) {
                m_problemsTold << problem;
                problems << problem;
            }
        m_calibrationProblem = problems.join(u' ');
    }
    return true;
}

void CupsCoverPrinter::dropDocument() {
    m_page.reset();
    m_target.clear();
}

bool CupsCoverPrinter::drawPicture(const picture::LoadedPicture& picture, base::Twips x,
                                   base::Twips y, base::Twips width, base::Twips height) {
    if (picture.isNull()) return false;
    if (!m_page && !startDocument()) return false;
    cover::CoverPage page = cover::layoutCoverPage(paperSize(), orientation(), m_margins,
                                                   QSizeF(width.toPoints(), height.toPoints()),
                                                   QPointF(x.toPoints(), y.toPoints()));
    if (!m_page) m_page.emplace(page.page);
    const cover::TrimmedCover placed =
        cover::addTrimmedCover(*m_page, page, coverKind(), cover::PageImage::fromPicture(picture),
                               trimOptions(), framing());
    page.cover = placed.cover;
    if (m_cut.isEmpty()) m_cut = cover::marginCut(page);
    if (m_shortfall.isEmpty()) m_shortfall = placed.shortfall;
    return true;
}

cover::SheetArea CupsCoverPrinter::sheetArea(cover::Paper paper) {
    const QString target = nextTarget();
    // Without a printer the document is refused anyway; the whole paper packs as well as any.
    if (target.isEmpty())
        return {QRectF(QPointF(0, 0), cover::pageSizeForPaper(paper).size(QPageSize::Point))};
    return cups::printerSheetArea(target, paper);
}

bool CupsCoverPrinter::drawSheet(const cover::PageContent& sheet) {
    if (!m_page) {
        // A sheet is already what the paper gets: nothing is turned.
        setOrientation(cover::Orientation::Portrait);
        if (!startDocument()) return false;
        m_page = sheet;
        return true;
    }
    std::copy(sheet.items.begin(), sheet.items.end(), std::back_inserter(m_page->items));
    return true;
}

DocumentResult CupsCoverPrinter::endDocument() {
    DocumentResult result;
    result.refused = std::exchange(m_refused, QString());
    result.cut = std::exchange(m_cut, QString());
    result.shortfall = std::exchange(m_shortfall, QString());
    result.calibrationProblem = std::exchange(m_calibrationProblem, QString());
    if (!m_page) return result;
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/vexa-cover-XXXXXX.pdf"));
    cover::PageContent paperPage = cover::paperPageContent(*m_page, orientation(), m_turn);
    if (m_calibration) paperPage = cover::calibratedPage(paperPage, *m_calibration);
    if (!file.open() || !pdf::writePdfFile(file.fileName(), {paperPage})) {
        result.refused = QStringLiteral("the page could not be written");
        result.cut.clear();
    } else {
        QString error;
        result.job = cups::submitPdfJob(m_target, file.fileName(), cups::JobContent::Covers,
                                        paper(), &error);
        result.sent = result.job > 0;
        if (!result.sent) {
            result.refused = error;
            result.cut.clear();
        } else if (m_paused) {
            result.heldBy = m_target;
        } else {
            m_sent.push_back({m_target, result.job, std::chrono::steady_clock::now()});
        }
    }
    dropDocument();
    return result;
}

void CupsCoverPrinter::followJobs(std::span<DocumentResult> results,
                                  const std::function<bool()>& keepGoing) {
    std::vector<cups::SentJob> jobs;
    std::vector<DocumentResult*> followed;
    for (DocumentResult& result : results) {
        const auto sent = std::find_if(m_sent.begin(), m_sent.end(), [&result](const auto& job) {
            return result.sent && job.id == result.job;
        });
        if (sent == m_sent.end()) continue;
        jobs.push_back(*sent);
        followed.push_back(&result);
    }
    m_sent.clear();
    if (jobs.empty()) return;
    const std::vector<cups::JobFate> fates =
        cups::followJobs(jobs, cups::JobContent::Covers, m_followTime, keepGoing);
    for (std::size_t i = 0; i < fates.size(); ++i) {
        DocumentResult& result = *followed[i];
        if (!fates[i].failure.isEmpty()) {
            result.sent = false;
            result.refused = fates[i].failure;
            result.cut.clear();
        } else if (fates[i].held) {
            result.heldBy = jobs[i].printer;
        }
    }
}

} // namespace vexa::printing
