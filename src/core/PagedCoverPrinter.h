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
    void setCoverKind(const CoverFormat& kind) final { m_kind = &kind; }
    void setTrimOptions(const TrimOptions& options) final { m_trim = options; }

protected:
    QPageLayout::Orientation orientation() const { return m_orientation; }
    Paper paper() const { return m_paper; }
    // The paper as it stands in the printer (portrait), in points.
    QSizeF paperSize() const;
    // The kind of the cover being drawn (the first kind until one is set).
    const CoverFormat& coverKind() const { return *m_kind; }
    const TrimOptions& trimOptions() const { return m_trim; }

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    Paper m_paper = Paper::Letter;
    const CoverFormat* m_kind = &kCoverFormats[0];
    TrimOptions m_trim;
};

} // namespace vexa::print
