#include "core/cups/JobSubmission.h"

#include "core/base/Log.h"
#include "core/cups/JobOptions.h"
#include "core/cups/SystemPrinters.h"

#include <QFile>

#include <cups/cups.h>

namespace vexa::cups {

int submitPdfJob(const QString& printer, const QString& pdfFile, JobContent content,
                 cover::Paper paper, QString* error) {
    int count = 0;
    cups_option_t* options = nullptr;
    for (const auto& [name, value] : placementOptions(paper))
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    const QByteArray queue = queueName(printer);
    const char* title =
        content == JobContent::CalibrationPage ? "VEXA calibration page" : "VEXA cover";
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.constData(),
                                   QFile::encodeName(pdfFile).constData(), title, count, options);
    cupsFreeOptions(count, options);
    qCDebug(base::lcPrint) << "sent" << pdfFile << "to" << printer << "as" << title << "with"
                           << placementOptions(paper).size() << "options: job" << job
                           << (job > 0 ? QString() : QString::fromUtf8(cupsLastErrorString()));
    if (job <= 0 && error) {
        const ipp_status_t status = cupsLastError();
        // A server libcups could not talk to at all comes back as an internal error (or as
        // "service unavailable") in the system's words; asking it again tells which it was.
        const bool reached = (status != IPP_STATUS_ERROR_INTERNAL &&
                              status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) ||
                             listPrinters().status != PrinterListing::Status::ServerUnreachable;
        *error = jobFailureReason(printer, status, reached, content);
    }
    return job > 0 ? job : 0;
}

} // namespace vexa::cups
