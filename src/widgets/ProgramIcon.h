#pragma once

#include <QIcon>

namespace vexa::widgets {

// VEXA's icon for its windows, the notification area and About: the very pictures installed
// into the hicolor icon theme (resources/icons), so that the desktop's menu, the task bar and
// VEXA's own windows show one icon.
QIcon programIcon();

} // namespace vexa::widgets
