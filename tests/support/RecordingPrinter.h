#pragma once

#include <CoverPrinter.h>

#include <QStringList>

#include <functional>

namespace vexa::test {

// A printer that writes down what it is asked to do, one line per call, and behaves like a
// real one: drawing an empty picture fails, and an end with nothing drawn sends nothing.
class RecordingPrinter : public print::CoverPrinter {
public:
    bool followDefault() override {
        calls << QStringLiteral("follow");
        return hasPrinter;
    }
    print::PrintFailure noPrinterFailure() const override { return noPrinter; }
    bool setOrientation(int code) override {
        calls << QStringLiteral("orientation %1").arg(code);
        return true;
    }
    bool setPaperSize(int code) override {
        calls << QStringLiteral("paper %1").arg(code);
        return true;
    }
    bool drawPicture(const QImage& picture, double x, double y, double width,
                     double height) override {
        calls << QStringLiteral("draw %1x%2 at %3,%4 size %5x%6")
                     .arg(picture.width())
                     .arg(picture.height())
                     .arg(x)
                     .arg(y)
                     .arg(width, 0, 'f', 1)
                     .arg(height, 0, 'f', 1);
        if (picture.isNull()) return false;
        drawn = true;
        return true;
    }
    print::DocumentResult endDocument() override {
        calls << QStringLiteral("end");
        print::DocumentResult result;
        result.sent = drawn && refusal.isEmpty();
        if (drawn) {
            result.refused = refusal;
            result.cut = result.sent ? cut : QString();
        }
        drawn = false;
        if (result.sent) {
            ++documents;
            if (onDocument) onDocument();
        }
        return result;
    }

    QStringList calls;
    int documents = 0;
    bool hasPrinter = true;
    print::PrintFailure noPrinter = print::PrintFailure::NoPrinter; // why, without a printer
    std::function<void()> onDocument;                               // runs as each document is sent
    QString refusal; // not empty: every drawn document is refused for this
    QString cut;     // what every sent document loses to the margins

private:
    bool drawn = false;
};

} // namespace vexa::test
