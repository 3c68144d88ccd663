#pragma once

#include "PagedCoverPrinter.h"

#include <QString>

#include <memory>

class QPainter;
class QPrinter;

namespace vexa::print {

// Covers on a CUPS printer through QPrinter at the printer's full resolution: every document
// is a CUPS job of its own, started at the first drawing and sent at endDocument().
class QtCoverPrinter final : public PagedCoverPrinter {
public:
    QtCoverPrinter();
    ~QtCoverPrinter() override;
    QtCoverPrinter(const QtCoverPrinter&) = delete;
    QtCoverPrinter& operator=(const QtCoverPrinter&) = delete;

    bool followDefault() override;

    // Sends every later document to this printer instead of the default. False (and no
    // change) when no installed printer has the name.
    bool usePrinter(const QString& name);

    bool drawPicture(const QImage& picture, double x, double y, double width,
                     double height) override;
    bool endDocument() override;

private:
    bool startDocument();
    void dropDocument();

    QString m_fixedPrinter; // empty: the default at each document's start
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
};

} // namespace vexa::print
