#include "core/cups/PrintFailure.h"

#include <cups/ipp.h>

namespace vexa::cups {

namespace {

QString capitalised(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

// What lies behind a refusal, by the server's status; empty when the status says no more
// than that the job was refused.
QString refusalCause(int status) {
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
    case IPP_STATUS_ERROR_PRINTER_IS_DEACTIVATED:
        return QStringLiteral("it is not accepting jobs");
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
    case IPP_STATUS_ERROR_CUPS_ACCOUNT_INFO_NEEDED:
    case IPP_STATUS_ERROR_CUPS_ACCOUNT_CLOSED:
    case IPP_STATUS_ERROR_CUPS_ACCOUNT_LIMIT_REACHED:
    case IPP_STATUS_ERROR_CUPS_ACCOUNT_AUTHORIZATION_FAILED:
        return QStringLiteral("you are not allowed to print on it");
    case IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED:
    case IPP_STATUS_ERROR_DOCUMENT_UNPRINTABLE:
        return QStringLiteral("it cannot print the page VEXA made");
    case IPP_STATUS_ERROR_ATTRIBUTES_OR_VALUES:
    case IPP_STATUS_ERROR_CONFLICTING:
        return QStringLiteral("it does not take the paper or the orientation of the cover");
    case IPP_STATUS_ERROR_REQUEST_ENTITY:
        return QStringLiteral("the page is larger than the print server takes");
    case IPP_STATUS_ERROR_BUSY:
    case IPP_STATUS_ERROR_TOO_MANY_JOBS:
    case IPP_STATUS_ERROR_TOO_MANY_DOCUMENTS:
        return QStringLiteral("it is busy; try again later");
    case IPP_STATUS_ERROR_TIMEOUT:
        return QStringLiteral("the print server did not answer in time");
    default:
        return QString();
    }
}

} // namespace

QString printFailureReason(PrintFailure failure, const QString& printer, const QString& cause,
                           JobContent content) {
    const bool page = content == JobContent::CalibrationPage;
    switch (failure) {
    case PrintFailure::ServerUnreachable:
        return QStringLiteral("the print server cannot be reached");
    case PrintFailure::NoPrinter:
        return QStringLiteral("no printer was found");
    case PrintFailure::NoDefaultPrinter:
        return QStringLiteral("there is no default printer");
    case PrintFailure::PrinterMissing:
        return QStringLiteral("printer %1 is not available").arg(printer);
    case PrintFailure::JobRefused: {
        const QString refused = page ? QStringLiteral("printer %1 refused the page")
                                     : QStringLiteral("printer %1 refused the job");
        return cause.isEmpty() ? refused.arg(printer)
                               : (refused + QStringLiteral(" because %2")).arg(printer, cause);
    }
    case PrintFailure::PrinterPaused:
        return page ? QStringLiteral("printer %1 is paused: the page waits in its queue")
                          .arg(printer)
                    : QStringLiteral("printer %1 is paused: the covers wait in its queue")
                          .arg(printer);
    case PrintFailure::JobStopped:
        return cause.isEmpty() ? QStringLiteral("printer %1 stopped the job").arg(printer)
                               : QStringLiteral("printer %1 stopped the job, saying \"%2\"")
                                     .arg(printer, cause);
    case PrintFailure::JobCancelled:
        return QStringLiteral("the job was cancelled in the queue of printer %1").arg(printer);
    }
    return QString();
}

QString printFailureText(PrintFailure failure, const QString& printer, JobContent content) {
    QString advice;
    switch (failure) {
    case PrintFailure::ServerUnreachable:
        advice = QStringLiteral("Check that CUPS is running.");
        break;
    case PrintFailure::NoPrinter:
        advice = QStringLiteral("Add a printer in your system's printer settings.");
        break;
    case PrintFailure::NoDefaultPrinter:
        advice = QStringLiteral("Choose one in your system's printer settings.");
        break;
    case PrintFailure::PrinterMissing:
    case PrintFailure::JobRefused:
    case PrintFailure::PrinterPaused:
    case PrintFailure::JobStopped:
    case PrintFailure::JobCancelled:
        break;
    }
    const QString reason =
        capitalised(printFailureReason(failure, printer, QString(), content)) + QLatin1Char('.');
    return advice.isEmpty() ? reason : reason + QLatin1Char(' ') + advice;
}

QString jobFailureReason(const QString& printer, int ippStatus, bool serverReached,
                         JobContent content) {
    if (!serverReached) return printFailureReason(PrintFailure::ServerUnreachable);
    if (ippStatus == IPP_STATUS_ERROR_NOT_FOUND)
        return printFailureReason(PrintFailure::PrinterMissing, printer);
    return printFailureReason(PrintFailure::JobRefused, printer, refusalCause(ippStatus), content);
}

} // namespace vexa::cups
