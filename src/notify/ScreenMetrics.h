#pragma once

#include "notify/PopupGeometry.h"

class QWidget;

namespace vexa::notify {

// The primary screen's place and width, its usable height less a window caption, and its twips
// per pixel from the screen's own resolution. Falls back to a 96 dpi 1024 x 768 screen when
// there is none.
ScreenTwips primaryScreenTwips();
// The same for the screen that holds `window` (the primary one without a window).
ScreenTwips screenTwipsOf(const QWidget* window);

// Twips to whole pixels at the primary screen's resolution.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);

} // namespace vexa::notify
