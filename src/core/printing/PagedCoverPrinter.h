#pragma once

#include "core/cover/CoverFormats.h"
#include "core/printing/CoverPrinter.h"

#include <QPageLayout>
#include <QSizeF>

namespace vexa::printing {

// What the printers that make pages have in common: the orientation and paper kept for the
// next document.
class PagedCoverPrinter : public CoverPrinter {
public:
    bool setOrientation(cover::Orientation orientation) final;
    bool setPaperSize(cover::Paper paper) final;
    void setCoverKind(const cover::CoverFormat& kind) final { m_kind = &kind; }
    void setTrimOptions(const cover::TrimOptions& options) final { m_trim = options; }
    void setFraming(const cover::Framing& framing) final { m_framing = framing; }

protected:
    QPageLayout::Orientation orientation() const { return m_orientation; }
    cover::Paper paper() const { return m_paper; }
    // The paper as it stands in the printer (portrait), in points.
    QSizeF paperSize() const;
    // The kind of the cover being drawn (the first kind until one is set).
    const cover::CoverFormat& coverKind() const { return *m_kind; }
    const cover::TrimOptions& trimOptions() const { return m_trim; }
    const cover::Framing& framing() const { return m_framing; }

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    cover::Paper m_paper = cover::Paper::Letter;
    const cover::CoverFormat* m_kind = &cover::kCoverFormats[0];
    cover::TrimOptions m_trim;
    cover::Framing m_framing;
};

} // namespace vexa::printing
