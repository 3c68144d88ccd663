#pragma once

#include <span>

class QTabWidget;

namespace vexa::widgets {
class PictureHolder;
}

namespace vexa::app {

// Shows which cover is selected for the Cover Manipulator: a highlight frame around its
// picture (seen whenever its tab is open) and a small dot in the highlight colour on its tab,
// beside the caption. `covers` holds the cover holders in tab order; -1 selects none.
void markSelectedCover(QTabWidget& tabs, std::span<widgets::PictureHolder* const> covers,
                       int selectedTab);

// The dot widens the tab that carries it. Called once the tabs are added, this keeps that room
// from the start, so that the first selection does not push the rest of the window aside.
void reserveRoomForCoverMark(QTabWidget& tabs);

} // namespace vexa::app
