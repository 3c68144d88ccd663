#include "core/printing/CalibrationJob.h"

#include "core/cover/PaperChoice.h"
#include "core/cups/JobSubmission.h"
#include "core/cups/PrintFailure.h"
#include "core/cups/PrinterMedia.h"
#include "core/cups/SystemPrinters.h"
#include "core/printing/CalibrationPage.h"

#include "core/pdf/PdfPageWriter.h"

#include <QDir>
#include <QTemporaryFile>

namespace vexa::printing {

namespace {

CalibrationPageResult refusal(const QString& why) {
    return {why, QString()};
}

} // namespace

CalibrationPageResult printCalibrationPage(const QString& printer, cover::Paper paperCode,
                                           const std::function<bool()>& keepGoing,
                                           std::chrono::milliseconds followTime) {
    if (printer.isEmpty()) return refusal(QStringLiteral("there is no printer"));
    if (!cups::installedPrinters().contains(printer))
        return refusal(cups::printFailureReason(cups::PrintFailure::PrinterMissing, printer));
    if (!cups::printerTakesPaper(printer, paperCode))
        return refusal(
            QStringLiteral("printer %1 has no %2 paper").arg(printer, cover::paperName(paperCode)));
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/vexa-calibration-XXXXXX.pdf"));
    if (!file.open())
        return refusal(QStringLiteral("no temporary file for the page could be made"));
    const QSizeF paper = cover::pageSizeForPaper(paperCode).size(QPageSize::Point);
    {
        pdf::PdfPageWriter writer(file);
        if (!writer.addPage(calibrationPage(paper, printer, paperCode)) || !writer.finish() ||
            !file.flush())
            return refusal(QStringLiteral("the page could not be written"));
    }
    const bool paused = cups::printerPaused(printer);
    QString error;
    const int job = cups::submitPdfJob(printer, file.fileName(), cups::JobContent::CalibrationPage,
                                       paperCode, &error);
    if (job <= 0) return refusal(error);
    if (paused) return {QString(), printer};
    const cups::JobFate fate =
        cups::followJobs({{printer, job, std::chrono::steady_clock::now()}},
                         cups::JobContent::CalibrationPage, followTime, keepGoing)
            .front();
    return {fate.failure, fate.held ? printer : QString()};
}

} // namespace vexa::printing
