#include "core/printing/CalibrationJob.h"

#include "core/cover/PaperChoice.h"
#include "core/cups/PrinterMedia.h"
#include "core/cups/SystemPrinters.h"
#include "core/printing/CalibrationPage.h"

#include "core/pdf/PdfPageWriter.h"

#include <QDir>
#include <QTemporaryFile>

namespace vexa::printing {

QString printCalibrationPage(const QString& printer, cover::Paper paperCode) {
    if (printer.isEmpty()) return QStringLiteral("there is no printer");
    if (!cups::installedPrinters().contains(printer))
        return QStringLiteral("printer %1 is not available").arg(printer);
    if (!cups::printerTakesPaper(printer, paperCode))
        return QStringLiteral("printer %1 has no %2 paper")
            .arg(printer, cover::paperName(paperCode));
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/vexa-calibration-XXXXXX.pdf"));
    if (!file.open()) return QStringLiteral("no temporary file for the page could be made");
    const QSizeF paper = cover::pageSizeForPaper(paperCode).size(QPageSize::Point);
    {
        pdf::PdfPageWriter writer(file);
        if (!writer.addPage(calibrationPage(paper, printer, paperCode)) || !writer.finish() ||
            !file.flush())
            return QStringLiteral("the page could not be written");
    }
    QString error;
    if (cups::submitPdfJob(printer, file.fileName(), QStringLiteral("VEXA calibration page"),
                           paperCode, &error) <= 0)
        return QStringLiteral("printer %1 did not take the job (%2)").arg(printer, error);
    return QString();
}

} // namespace vexa::printing
