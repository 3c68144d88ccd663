#include "shell/HelpLauncher.h"

#include "shell/HelpBook.h"
#include "shell/HelpWindow.h"
#include "shell/WindowPlacement.h"

namespace vexa::shell {

HelpWindow* HelpLauncher::openWindow(QWidget* owner) {
    if (m_window && m_window->parentWidget() != owner)
        closeAll(); // asked for by another window: start afresh there
    if (!m_window) {
        m_window = new HelpWindow(HelpBook::load(m_folder), owner);
        placeOverOwner(m_window, owner, true); // later requests leave it where the user put it
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

HelpWindow* HelpLauncher::displayTopic(QWidget* owner) {
    HelpWindow* window = openWindow(owner);
    const QString topic = window->book().defaultTopic();
    if (topic.isEmpty())
        window->showContents(); // explains what is missing
    else
        window->showTopic(topic);
    return window;
}

HelpWindow* HelpLauncher::displayContents(QWidget* owner) {
    HelpWindow* window = openWindow(owner);
    window->showContents();
    return window;
}

void HelpLauncher::closeAll() {
    if (m_window) {
        HelpWindow* window = m_window;
        m_window = nullptr;
        window->close(); // deletes itself
    }
}

} // namespace vexa::shell
