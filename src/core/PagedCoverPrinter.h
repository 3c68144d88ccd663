#pragma once

#include "CoverFormats.h"
#include "CoverPrinter.h"

#include <QPageLayout>
#include <QSizeF>

namespace vexa::print {

// What the printers that make pages have in common: the orientation and paper codes kept
// for the next document.
class PagedCoverPrinter : public CoverPrinter {
public:
    bool setOrientation(int code) final;
    bool setPaperSize(int code) final;

protected:
    QPageLayout::Orientation orientation() const { return m_orientation; }
    int paper() const { return m_paper; }
    // The paper as it stands in the printer (portrait), in points.
    QSizeF paperSize() const;

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    int m_paper = kPaperLetter;
};

} // namespace vexa::print
