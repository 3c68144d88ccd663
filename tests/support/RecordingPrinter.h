#pragma once

#include "core/cover/PaperChoice.h"
#include "core/printing/CoverPrinter.h"

#include <QStringList>

#include <functional>

namespace vexa::test {

// A printer that writes down what it is asked to do, one line per call, and behaves like a
// real one: drawing an empty picture fails, and an end with nothing drawn sends nothing.
class RecordingPrinter : public printing::CoverPrinter {
public:
    bool followDefault() override {
        calls << QStringLiteral("follow");
        return hasPrinter;
    }
    cups::PrintFailure noPrinterFailure() const override { return noPrinter; }
    // Orientation and paper by their printer-driver codes.
    bool setOrientation(cover::Orientation orientation) override {
        calls << QStringLiteral("orientation %1").arg(static_cast<int>(orientation));
        return true;
    }
    bool setPaperSize(cover::Paper paper) override {
        calls << QStringLiteral("paper %1").arg(static_cast<int>(paper));
        return true;
    }
    bool drawPicture(const picture::LoadedPicture& picture, base::Twips x, base::Twips y,
                     base::Twips width, base::Twips height) override {
        calls << QStringLiteral("draw %1x%2 at %3,%4 size %5x%6")
                     .arg(picture.pixels.width())
                     .arg(picture.pixels.height())
                     .arg(x.count())
                     .arg(y.count())
                     .arg(width.count(), 0, 'f', 1)
                     .arg(height.count(), 0, 'f', 1);
        records << picture;
        if (picture.isNull()) return false;
        drawn = true;
        return true;
    }
    // The whole paper, as a file has it.
    cover::SheetArea sheetArea(cover::Paper paper) override {
        return {QRectF(QPointF(0, 0), cover::pageSizeForPaper(paper).size(QPageSize::Point))};
    }
    // A sheet by its pictures.
    bool drawSheet(const cover::PageContent& sheet) override {
        int pictures = 0;
        for (const cover::PageItem& item : sheet.items)
            pictures += std::holds_alternative<cover::PagePicture>(item) ? 1 : 0;
        calls << QStringLiteral("sheet of %1 pictures").arg(pictures);
        drawn = true;
        return true;
    }
    void setTrimOptions(const cover::TrimOptions& options) override { trim = options; }
    printing::DocumentResult endDocument() override {
        calls << QStringLiteral("end");
        printing::DocumentResult result;
        result.sent = drawn && refusal.isEmpty();
        if (drawn) {
            result.refused = refusal;
            result.cut = result.sent ? cut : QString();
            result.shortfall = result.sent ? shortfall : QString();
        }
        drawn = false;
        if (result.sent) {
            ++documents;
            if (onDocument) onDocument();
        }
        return result;
    }

    QStringList calls;
    QList<picture::LoadedPicture> records; // every picture drawn, as handed over
    int documents = 0;
    bool hasPrinter = true;
    // Why followDefault found no printer, when hasPrinter is false.
    cups::PrintFailure noPrinter = cups::PrintFailure::NoPrinter;
    std::function<void()> onDocument; // runs as each document is sent
    QString refusal;                  // not empty: every drawn document is refused for this
    QString cut;                      // what every sent document loses to the margins
    QString shortfall;                // the room every sent document's marks lack
    cover::TrimOptions trim;          // as last set

private:
    bool drawn = false;
};

} // namespace vexa::test
