#pragma once

#include "CoverPrinter.h"

#include <QPageLayout>
#include <QPageSize>

namespace vexa::print {

// What the printers that make pages have in common: the orientation and paper codes kept
// for the next document, and pictures put on paper opaque (a plain copy, no blending).
class PagedCoverPrinter : public CoverPrinter {
public:
    bool setOrientation(int code) final;
    bool setPaperSize(int code) final;

protected:
    QPageLayout::Orientation orientation() const { return m_orientation; }
    QPageSize::PageSizeId paper() const { return m_paper; }
    static QImage opaquePicture(const QImage& picture);

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QPageSize::PageSizeId m_paper = QPageSize::Letter;
};

} // namespace vexa::print
