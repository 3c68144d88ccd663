#pragma once

class QWidget;

namespace vexa::shell {

// Helpers that put a window in front of all others when it comes back from the tray.

// Keeps the window above all others until stopKeepingAbove.
void keepAboveOthers(QWidget* window);
// Lets other windows cover it again.
void stopKeepingAbove(QWidget* window);
// Raises the window and asks the window system to give it the keyboard. True when the window
// already is active or the request could be made (it is shown); the window system may still
// refuse to hand over the focus.
bool bringToForeground(QWidget* window);

} // namespace vexa::shell
