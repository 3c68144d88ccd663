#pragma once

// The main window's controls as a test reaches them: by their object names, as a script or
// the accessibility tree would, not through accessors of the window's own.

#include "app/MainWindow.h"
#include "app/PictureBrowser.h"
#include "app/PictureLoader.h"
#include "app/SlotTable.h"
#include "shell/ShellCommands.h"
#include "widgets/PictureHolder.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>

namespace vexa::test {

inline QTabWidget* coverTabs(QWidget& window) {
    return window.findChild<QTabWidget*>(QStringLiteral("coverTabs"));
}
inline app::PictureBrowser* browser(QWidget& window) {
    return window.findChild<app::PictureBrowser*>();
}
// The picture of cover slot 1 ... 11, in the order of the tabs.
inline widgets::PictureHolder* slotHolder(QWidget& window, int number) {
    if (number < 1 || number > static_cast<int>(app::kCoverSlots.size())) return nullptr;
    return window.findChild<widgets::PictureHolder*>(
        QLatin1String(app::kCoverSlots[static_cast<std::size_t>(number - 1)].objectName));
}
inline widgets::PictureHolder* scanHolder(QWidget& window) {
    return window.findChild<widgets::PictureHolder*>(QStringLiteral("scanSlot"));
}
inline QToolBar* mainToolbar(QWidget& window) {
    return window.findChild<QToolBar*>(QStringLiteral("mainToolbar"));
}
// The toolbar's command at position 1 ... 6.
inline QAction* toolbarAction(QWidget& window, int position) {
    const QList<QAction*> actions = mainToolbar(window)->actions();
    if (position < 1 || position > actions.size()) return nullptr;
    return actions[position - 1];
}
inline QAction* action(QWidget& window, const char* objectName) {
    return window.findChild<QAction*>(QLatin1String(objectName));
}
inline QMenu* menu(QWidget& window, const char* objectName) {
    return window.findChild<QMenu*>(QLatin1String(objectName));
}
inline QPushButton* button(QWidget& window, const char* objectName) {
    return window.findChild<QPushButton*>(QLatin1String(objectName));
}
inline shell::ShellCommands* shellCommands(QWidget& window) {
    return window.findChild<shell::ShellCommands*>();
}
inline app::PictureLoader* pictureLoader(QWidget& window) {
    return window.findChild<app::PictureLoader*>();
}

} // namespace vexa::test
