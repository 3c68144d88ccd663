#pragma once

#include "CoverFormats.h"
#include "CoverPrinter.h"

#include <QPageLayout>
#include <QSizeF>

namespace vexa::print {

// What the printers that make pages have in common: the orientation and paper kept for the
// next document.
class PagedCoverPrinter : public CoverPrinter {
public:
    bool setOrientation(Orientation orientation) final;
    bool setPaperSize(Paper paper) final;

protected:
    QPageLayout::Orientation orientation() const { return m_orientation; }
    Paper paper() const { return m_paper; }
    // The paper as it stands in the printer (portrait), in points.
    QSizeF paperSize() const;

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    Paper m_paper = Paper::Letter;
};

} // namespace vexa::print
