#pragma once

class QWidget;

namespace vexa::notify {

// While notices are up the main window takes no input, however many are up: it is locked by
// the first and given back when the last is answered, and then the keyboard focus returns to
// the control that had it (the file list, when arrowing through a folder of pictures).
void lockForNotice(QWidget* host);
void unlockAfterNotice(QWidget* host);

} // namespace vexa::notify
