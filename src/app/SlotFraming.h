#pragma once

#include "core/cover/CoverFit.h"
#include "core/cover/CoverKind.h"

#include <QObject>

#include <functional>

class QLabel;
class QMenu;
class QWidget;

namespace vexa::cover {
class CoverSet;
}

namespace vexa::widgets {
class FitActions;
class PictureHolder;
} // namespace vexa::widgets

namespace vexa::app {

// What a cover slot adds to its picture: the fit chosen in its context menu (object name
// slotFitMenu), the crop of a filled picture moved by dragging it or with the arrow keys
// while the slot has the focus, and the line under it that tells the picture's print
// resolution ("DVD: 3000 x 2000 px, 280 dpi") and, in red beside it, that a cover under
// 150 dpi "will print soft: 96 dpi". A fit chosen or a crop moved goes to `choose`, which
// puts it into the cover set (as a step of Undo), and the slot shows what the set holds, so
// that the preview, jobs and files show what the slot shows.
class SlotFraming : public QObject {
    Q_OBJECT
public:
    using Choose = std::function<void(cover::CoverKind kind, const cover::Framing& framing)>;

    // The labels are made here, children of `page`, and named after the slot
    // (dvdSlotResolution, dvdSlotSoft); `resolution()` and `soft()` give them for a layout.
    SlotFraming(widgets::PictureHolder& slot, QWidget& page, cover::CoverSet& covers,
                cover::CoverKind kind, Choose choose);

    QLabel* resolution() const { return m_resolution; }
    QLabel* soft() const { return m_soft; }

private:
    void showFraming();
    void showResolution();

    widgets::PictureHolder& m_slot;
    cover::CoverSet& m_covers;
    cover::CoverKind m_kind;
    Choose m_choose;
    QLabel* m_resolution;
    QLabel* m_soft;
    QMenu* m_menu;
    widgets::FitActions* m_fits;
};

} // namespace vexa::app
