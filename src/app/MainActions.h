#pragma once

class QAction;
class QMenu;
class QObject;
class QToolBar;

namespace vexa::app {

// The main window's commands, one QAction each, whether the user reaches it from the menus,
// the toolbar or a shortcut. A command offered in both places is the same action, so it is
// enabled, disabled and wired once.
struct MainActions {
    QAction* newProject = nullptr;        // "&New", Ctrl+N: an empty set of covers
    QAction* openProject = nullptr;       // "&Open...", Ctrl+O: a project file
    QAction* saveProject = nullptr;       // "Sa&ve", Ctrl+S (&S: Select Printer)
    QAction* saveProjectAs = nullptr;     // "Save &As...", Ctrl+Shift+S
    QAction* undo = nullptr;              // "&Undo", Ctrl+Z: the last change to the set
    QAction* redo = nullptr;              // "&Redo", Ctrl+Shift+Z
    QAction* removePicture = nullptr;     // "Remove &Picture", Delete: empties the open slot
    QAction* print = nullptr;             // "&Print" / toolbar "Print Cover", Ctrl+P
    QAction* editSelectedCover = nullptr; // toolbar "Cover Manipulator": the selected cover
    QAction* editOpenCover = nullptr;     // "Cover &Manipulator", Ctrl+E: the open tab's cover
    QAction* selectPrinter = nullptr;     // "&Select Printer"
    QAction* exit = nullptr;              // "E&xit", Ctrl+Q
    QAction* helpContents = nullptr;      // "Help &Contents", F1: the first page
    QAction* helpIndex = nullptr;         // toolbar "Help": the list of topics
    QAction* reportBug = nullptr;         // "&Report A Bug" / toolbar
    QAction* visitWebsite = nullptr;      // "&Visit Website" / toolbar
    QAction* checkForUpdates = nullptr;   // "Check For &Updates"
    QAction* about = nullptr;             // "&About" / toolbar
};

// Makes the actions, owned by `owner`, with their object names, texts, icons and shortcuts.
MainActions makeMainActions(QObject* owner);

// The "&File", "&Edit" and "&Help" menus and the toolbar, in their order. `recent` is the
// File menu's "Open &Recent" list.
void fillFileMenu(QMenu& menu, QMenu& recent, const MainActions& actions);
void fillEditMenu(QMenu& menu, const MainActions& actions);
void fillHelpMenu(QMenu& menu, const MainActions& actions);
void fillToolbar(QToolBar& toolbar, const MainActions& actions);

} // namespace vexa::app
