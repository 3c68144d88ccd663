#pragma once

#include <QRect>

class QWidget;

namespace vexa::shell {

// Where a window opens: over the window it belongs to, not wherever the window manager likes.
// Rectangles are outer frames in screen pixels.

// The frame of `size` centred over `owner`.
QRect centredOver(const QSize& size, const QRect& owner);

// Centred over `owner` when that lies wholly inside `screen`; else beside it, right or left,
// whichever fits, at the owner's height; else wherever on the screen is nearest to centred.
QRect centredOrBeside(const QSize& size, const QRect& owner, const QRect& screen);

// Moves the top-level `window`, not yet shown, to its place over `owner` (centredOrBeside
// when `besideIfNeeded`, else centred and kept on the screen). The window manager's frame is
// not known before the window is shown, so the owner's frame stands in for it.
void placeOverOwner(QWidget* window, const QWidget* owner, bool besideIfNeeded);

} // namespace vexa::shell
