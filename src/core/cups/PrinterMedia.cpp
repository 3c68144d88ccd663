#include "core/cups/PrinterMedia.h"

#include "core/cover/PaperChoice.h"
#include "core/cups/SystemPrinters.h"

#include <QFile>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <cmath>
#include <memory>
#include <optional>

namespace vexa::cups {

namespace {

constexpr double kPointsPerHundredthMm = 72.0 / 2540.0;
// How far a paper size CUPS lists (in hundredths of a millimetre, rounded) may be from the
// wanted one: 1 mm.
constexpr double kSizeTolerance = 100;

// One destination of the user's view of CUPS, with the list that holds it.
class PrinterDestination {
public:
    PrinterDestination(cups_dest_t* all, int size, cups_dest_t* found)
        : list(all), count(size), dest(found) {}
    ~PrinterDestination() { cupsFreeDests(count, list); }
    PrinterDestination(const PrinterDestination&) = delete;
    PrinterDestination& operator=(const PrinterDestination&) = delete;

    cups_dest_t* list;
    int count;
    cups_dest_t* dest;
};

std::optional<PrinterDestination> findDestination(const QString& printer) {
    const QByteArray full = printer.toLocal8Bit();
    const QByteArray name = queueName(printer);
    const QByteArray instance = full.mid(name.size() + 1);
    cups_dest_t* list = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list);
    cups_dest_t* dest = cupsGetDest(
        name.constData(), instance.isEmpty() ? nullptr : instance.constData(), count, list);
    if (!dest) {
        cupsFreeDests(count, list);
        return std::nullopt;
    }
    return std::optional<PrinterDestination>(std::in_place, list, count, dest);
}

} // namespace

std::optional<QMarginsF> printerPaperMargins(const QString& printer, cover::Paper paper) {
    const std::optional<PrinterDestination> dest = findDestination(printer);
    if (!dest) return std::nullopt;
    const std::unique_ptr<cups_dinfo_t, void (*)(cups_dinfo_t*)> info(
        cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest->dest), cupsFreeDestInfo);
    if (!info) return std::nullopt;
    cups_size_t size{};
    if (!cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest->dest, info.get(),
                                cover::pwgMediaName(paper), CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return std::nullopt;
    return QMarginsF(size.left * kPointsPerHundredthMm, size.top * kPointsPerHundredthMm,
                     size.right * kPointsPerHundredthMm, size.bottom * kPointsPerHundredthMm);
}

cover::LandscapeTurn printerLandscapeTurn(const QString& printer) {
    QTemporaryFile ppd;
    if (!ppd.open()) return cover::LandscapeTurn::Plus90;
    const QByteArray resource = "/printers/" + queueName(printer) + ".ppd";
    if (cupsGetFd(CUPS_HTTP_DEFAULT, resource.constData(), ppd.handle()) != HTTP_STATUS_OK)
        return cover::LandscapeTurn::Plus90;
    QFile text(ppd.fileName());
    if (!text.open(QIODevice::ReadOnly)) return cover::LandscapeTurn::Plus90;
    while (!text.atEnd()) {
        const QByteArray line = text.readLine().trimmed();
        if (!line.startsWith("*LandscapeOrientation:")) continue;
        return line.mid(22).trimmed() == "Minus90" ? cover::LandscapeTurn::Minus90
                                                   : cover::LandscapeTurn::Plus90;
    }
    return cover::LandscapeTurn::Plus90;
}

cover::SheetArea printerSheetArea(const QString& printer, cover::Paper paper) {
    const QRectF whole(QPointF(0, 0), cover::pageSizeForPaper(paper).size(QPageSize::Point));
    return {whole.marginsRemoved(printerPaperMargins(printer, paper).value_or(QMarginsF())),
            printerLandscapeTurn(printer)};
}

bool printerTakesPaper(const QString& printer, cover::Paper paper) {
    const std::optional<PrinterDestination> dest = findDestination(printer);
    if (!dest) return true;
    const std::unique_ptr<cups_dinfo_t, void (*)(cups_dinfo_t*)> info(
        cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest->dest), cupsFreeDestInfo);
    if (!info) return true;
    const int count =
        cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest->dest, info.get(), CUPS_MEDIA_FLAGS_DEFAULT);
    if (count <= 0) return true;
    // By size: the PPD's names ("Letter") and the PWG's ("na_letter_8.5x11in") differ.
    const QSizeF wanted = cover::pageSizeForPaper(paper).size(QPageSize::Millimeter) * 100;
    for (int i = 0; i < count; ++i) {
        cups_size_t size{};
        if (cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest->dest, info.get(), i,
                                    CUPS_MEDIA_FLAGS_DEFAULT, &size) &&
            std::abs(size.width - wanted.width()) <= kSizeTolerance &&
            std::abs(size.length - wanted.height()) <= kSizeTolerance)
            return true;
    }
    return false;
}

} // namespace vexa::cups
