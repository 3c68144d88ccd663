#pragma once

#include "shell/HelpWindow.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace vexa::shell {

// The program's help: the pages in the "help" folder beside the program, shown in the help
// window. One help window at a time; asking again brings it to the front on the page asked for.
class HelpLauncher {
public:
    // Start-up: the folder of the help pages.
    void setHelpFolder(const QString& folder) { m_folder = folder; }
    const QString& helpFolder() const { return m_folder; }

    // "Help &Contents": the default topic.
    HelpWindow* displayTopic(QWidget* owner);
    // The toolbar's "Help": the contents.
    HelpWindow* displayContents(QWidget* owner);
    // Shut-down: closes every help window the program opened.
    void closeAll();

    // The open help window, or nullptr.
    HelpWindow* window() const { return m_window; }

private:
    HelpWindow* openWindow(QWidget* owner);

    QString m_folder;
    QPointer<HelpWindow> m_window;
};

} // namespace vexa::shell
