#pragma once

#include "shell/HelpLauncher.h"
#include "shell/TrayDock.h"
#include "update/UpdateCheck.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace vexa::widgets {
class CoverHost;
}

namespace vexa::about {
class AboutWindow;
}

namespace vexa::shell {

// The main window's commands and steps that belong to the desktop: help, the bug-report mail,
// the web site, the About window, the update check, and docking into the notification area.
// The main window owns one and calls it from its menus, toolbar, start-up, shut-down and
// resize handling.
class ShellCommands : public QObject {
    Q_OBJECT
public:
    ShellCommands(QWidget* mainWindow, widgets::CoverHost& host);

    // Start-up: the help pages are the folder "help" in the program folder.
    void setHelpFile();
    // Shut-down: every help window goes.
    void closeHelp();
    // The main window's resize handling, whenever the window state may have changed: a
    // minimised window goes into the notification area (or stays on the task bar without one).
    void windowStateChanged();

    void reportBug();
    void visitWebsite();
    void helpContents(); // "Help &Contents": the default topic
    void helpIndex();    // the toolbar's "Help": the contents
    // One About window at a time: asking again brings the open one to the front.
    void about();
    // "&Check For Updates": nothing while a check runs; otherwise the popup tells the result.
    void checkForUpdates();

    TrayDock& tray() { return m_tray; }
    HelpLauncher& help() { return m_help; }
    update::UpdateCheck& updateCheck() { return m_updates; }

private:
    QPointer<QWidget> m_window;
    widgets::CoverHost& m_host;
    TrayDock m_tray;
    HelpLauncher m_help;
    update::UpdateCheck m_updates;
    QPointer<about::AboutWindow> m_about;
};

} // namespace vexa::shell
