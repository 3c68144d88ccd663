#pragma once

#include <QString>

class QMessageBox;

namespace vexa::scan {

// How wide a window must be for the window manager to show `title` in full: the text in the
// title-bar font, and room for the window icon and the minimise, maximise and close buttons
// (each about as wide as the title bar is tall) and the bar's margins.
int titleBarWidth(const QString& title);

// Widens a message box so that its title reads in full. QMessageBox sizes itself each time it
// is shown, so the width goes into its layout rather than onto the box.
void fitTitle(QMessageBox& box);

} // namespace vexa::scan
