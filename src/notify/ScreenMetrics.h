#pragma once

#include "notify/PopupGeometry.h"

namespace vexa::notify {

// The primary screen's width, its usable height less a window caption, and its twips per pixel
// from the screen's own resolution. Falls back to a 96 dpi 1024 x 768 screen when there is none.
ScreenTwips primaryScreenTwips();

// Twips to whole pixels at the primary screen's resolution.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);

} // namespace vexa::notify
