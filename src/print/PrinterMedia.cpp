#include "PrinterMedia.h"

#include "PaperChoice.h"

#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <memory>

namespace vexa::print {

namespace {

constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;

// "name/instance" as CUPS wants it: the queue's name alone.
QByteArray queueName(const QString& printer) {
    return printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
}

struct DestsDeleter {
    int count;
    void operator()(cups_dest_t* dests) const { cupsFreeDests(count, dests); }
};

} // namespace

std::optional<QMarginsF> printerPaperMargins(const QString& printer, int paperCode) {
    const QByteArray full = printer.toLocal8Bit();
    const QByteArray name = queueName(printer);
    const QByteArray instance = full.mid(name.size() + 1);
    cups_dest_t* list = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list);
    const std::unique_ptr<cups_dest_t, DestsDeleter> dests(list, DestsDeleter{count});
    cups_dest_t* dest = cupsGetDest(
        name.constData(), instance.isEmpty() ? nullptr : instance.constData(), count, dests.get());
    if (!dest) return std::nullopt;
    const std::unique_ptr<cups_dinfo_t, void (*)(cups_dinfo_t*)> info(
        cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest), cupsFreeDestInfo);
    if (!info) return std::nullopt;
    cups_size_t size{};
    if (!cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info.get(), pwgMediaName(paperCode),
                                CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return std::nullopt;
    return QMarginsF(size.left * kPointsPerHundredthMm, size.top * kPointsPerHundredthMm,
                     size.right * kPointsPerHundredthMm, size.bottom * kPointsPerHundredthMm);
}

LandscapeTurn printerLandscapeTurn(const QString& printer) {
    QTemporaryFile ppd;
    if (!ppd.open()) return LandscapeTurn::Plus90;
    const QByteArray resource = "/printers/" + queueName(printer) + ".ppd";
    if (cupsGetFd(CUPS_HTTP_DEFAULT, resource.constData(), ppd.handle()) != HTTP_STATUS_OK)
        return LandscapeTurn::Plus90;
    QFile text(ppd.fileName());
    if (!text.open(QIODevice::ReadOnly)) return LandscapeTurn::Plus90;
    while (!text.atEnd()) {
        const QByteArray line = text.readLine().trimmed();
        if (!line.startsWith("*LandscapeOrientation:")) continue;
        return line.mid(22).trimmed() == "Minus90" ? LandscapeTurn::Minus90 : LandscapeTurn::Plus90;
    }
    return LandscapeTurn::Plus90;
}

bool printerTakesPaper(const QString& printer, int paperCode) {
    const QList<QPageSize> sizes = QPrinterInfo::printerInfo(printer).supportedPageSizes();
    if (sizes.isEmpty()) return true;
    const QPageSize::PageSizeId wanted = pageSizeForPaper(paperCode).id();
    for (const QPageSize& size : sizes)
        if (size.id() == wanted) return true;
    return false;
}

int submitPdfJob(const QString& printer, const QString& pdfFile, const QString& title,
                 int paperCode, QPageLayout::Orientation orientation, QString* error) {
    // The page in the file is already turned; "landscape" tells CUPS how it lies on the paper.
    int count = 0;
    cups_option_t* options = nullptr;
    count = cupsAddOption("media", pwgMediaName(paperCode), count, &options);
    count = cupsAddOption("sides", "one-sided", count, &options);
    if (orientation == QPageLayout::Landscape)
        count = cupsAddOption("orientation-requested", "4", count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queueName(printer).constData(),
                                   QFile::encodeName(pdfFile).constData(),
                                   title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job <= 0 && error) *error = QString::fromUtf8(cupsLastErrorString());
    return job > 0 ? job : 0;
}

} // namespace vexa::print
