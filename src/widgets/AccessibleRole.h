#pragma once

#include <QAccessible>

class QWidget;

namespace vexa::widgets {

// Gives a widget the role a screen reader announces, where Qt's own choice says too little: a
// plain widget is a "filler" to AT-SPI, even when it is a window or shows a picture. Set it
// before the widget is first reached by the accessibility framework (in its constructor).
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

} // namespace vexa::widgets
