#include "app/MainActions.h"

#include "app/ToolbarIcons.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

namespace vexa::app {

namespace {

QAction* makeAction(QObject* owner, const char* objectName, const char* text,
                    const char* iconText = nullptr) {
    auto* action = new QAction(QString::fromLatin1(text), owner);
    action->setObjectName(QLatin1String(objectName));
    // The toolbar shows the icon text; without one Qt derives it from the menu text.
    if (iconText) action->setIconText(QString::fromLatin1(iconText));
    return action;
}

} // namespace

MainActions makeMainActions(QObject* owner) {
    MainActions a;
    a.newProject = makeAction(owner, "newProjectAction", "&New");
    a.newProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    a.openProject = makeAction(owner, "openProjectAction", "&Open...");
    a.openProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    a.saveProject = makeAction(owner, "saveProjectAction", "Sa&ve");
    a.saveProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    a.saveProjectAs = makeAction(owner, "saveProjectAsAction", "Save &As...");
    a.saveProjectAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // The Cover Manipulator has its own Ctrl+Z for its one step; it is modal, so these keys
    // never reach the main window while it is open.
    a.undo = makeAction(owner, "undoCoversAction", "&Undo");
    a.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    a.undo->setEnabled(false);
    a.redo = makeAction(owner, "redoCoversAction", "&Redo");
    a.redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    a.redo->setEnabled(false);
    a.removePicture = makeAction(owner, "removePictureAction", "Remove &Picture");
    a.removePicture->setShortcut(QKeySequence(Qt::Key_Delete));
    a.print = makeAction(owner, "printAction", "&Print", "Print Cover");
    a.print->setIcon(toolbarIcon(ToolbarIcon::PrintCover));
    a.print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    a.editSelectedCover =
        makeAction(owner, "editSelectedCoverAction", "Cover Manipulator", "Cover Manipulator");
    a.editSelectedCover->setIcon(toolbarIcon(ToolbarIcon::CoverManipulator));
    a.editOpenCover = makeAction(owner, "editOpenCoverAction", "Cover &Manipulator");
    a.editOpenCover->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    a.selectPrinter = makeAction(owner, "selectPrinterAction", "&Select Printer");
    a.exit = makeAction(owner, "exitAction", "E&xit");
    a.exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    a.helpContents = makeAction(owner, "helpContentsAction", "Help &Contents");
    a.helpContents->setShortcut(QKeySequence(Qt::Key_F1));
    a.helpIndex = makeAction(owner, "helpIndexAction", "Help", "Help");
    a.helpIndex->setIcon(toolbarIcon(ToolbarIcon::Help));
    a.reportBug = makeAction(owner, "reportBugAction", "&Report A Bug", "Report A Bug");
    a.reportBug->setIcon(toolbarIcon(ToolbarIcon::ReportBug));
    a.visitWebsite = makeAction(owner, "visitWebsiteAction", "&Visit Website", "Visit Website");
    a.visitWebsite->setIcon(toolbarIcon(ToolbarIcon::VisitWebsite));
    a.checkForUpdates = makeAction(owner, "checkForUpdatesAction", "Check For &Updates");
    a.about = makeAction(owner, "aboutAction", "&About", "About");
    a.about->setIcon(toolbarIcon(ToolbarIcon::About));
    return a;
}

void fillFileMenu(QMenu& menu, QMenu& recent, const MainActions& a) {
    menu.addAction(a.newProject);
    menu.addAction(a.openProject);
    menu.addMenu(&recent);
    menu.addAction(a.saveProject);
    menu.addAction(a.saveProjectAs);
    menu.addSeparator();
    menu.addAction(a.print);
    menu.addAction(a.editOpenCover);
    menu.addSeparator();
    menu.addAction(a.selectPrinter);
    menu.addSeparator();
    menu.addAction(a.exit);
}

void fillEditMenu(QMenu& menu, const MainActions& a) {
    menu.addAction(a.undo);
    menu.addAction(a.redo);
    menu.addSeparator();
    menu.addAction(a.removePicture);
}

void fillHelpMenu(QMenu& menu, const MainActions& a) {
    menu.addAction(a.helpContents);
    menu.addSeparator();
    menu.addAction(a.reportBug);
    menu.addAction(a.visitWebsite);
    menu.addSeparator();
    menu.addAction(a.checkForUpdates);
    menu.addSeparator();
    menu.addAction(a.about);
}

void fillToolbar(QToolBar& toolbar, const MainActions& a) {
    for (QAction* action :
         {a.print, a.editSelectedCover, a.reportBug, a.helpIndex, a.about, a.visitWebsite})
        toolbar.addAction(action);
}

} // namespace vexa::app
