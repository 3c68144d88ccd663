#include "CalibrationJob.h"

#include "CalibrationPage.h"
#include "PaperChoice.h"
#include "PrinterMedia.h"
#include "SystemPrinters.h"

#include <PdfPageWriter.h>

#include <QDir>
#include <QTemporaryFile>

namespace vexa::print {

QString printCalibrationPage(const QString& printer, Paper paperCode) {
    if (printer.isEmpty()) return QStringLiteral("there is no printer");
    if (!installedPrinters().contains(printer))
        return QStringLiteral("printer %1 is not available").arg(printer);
    if (!printerTakesPaper(printer, paperCode))
        return QStringLiteral("printer %1 has no %2 paper").arg(printer, paperName(paperCode));
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/vexa-calibration-XXXXXX.pdf"));
    if (!file.open()) return QStringLiteral("no temporary file for the page could be made");
    const QSizeF paper = pageSizeForPaper(paperCode).size(QPageSize::Point);
    {
        PdfPageWriter writer(file);
        if (!writer.addPage(calibrationPage(paper, printer, paperCode)) || !writer.finish() ||
            !file.flush())
            return QStringLiteral("the page could not be written");
    }
    QString error;
    if (submitPdfJob(printer, file.fileName(), QStringLiteral("VEXA calibration page"), paperCode,
                     &error) <= 0)
        return QStringLiteral("printer %1 did not take the job (%2)").arg(printer, error);
    return QString();
}

} // namespace vexa::print
