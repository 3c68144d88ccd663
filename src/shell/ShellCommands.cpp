#include "shell/ShellCommands.h"

#include "about/AboutWindow.h"
#include "core/base/ProgramFolder.h"
#include "notify/UpdateNoticeWindow.h"
#include "shell/MakerContact.h"

#include <QWidget>

#include <exception>

namespace vexa::shell {

ShellCommands::ShellCommands(QWidget* mainWindow, widgets::CoverHost& host)
    : QObject(mainWindow), m_window(mainWindow), m_host(host), m_tray(mainWindow) {}

void ShellCommands::setHelpFile() {
    m_help.setHelpFolder(base::sharedDataFile(QStringLiteral("help")));
}

void ShellCommands::closeHelp() {
    m_help.closeAll();
}

void ShellCommands::windowStateChanged() {
    if (m_window && m_window->isMinimized()) m_tray.windowMinimised();
}

void ShellCommands::reportBug() {
    startBugReport(m_window);
}

void ShellCommands::visitWebsite() {
    openMakersWebsite(m_window);
}

void ShellCommands::helpContents() {
    m_help.displayTopic(m_window);
}

void ShellCommands::helpIndex() {
    m_help.displayContents(m_window);
}

void ShellCommands::about() {
    // A window that cannot be opened is no reason to disturb the user.
    try {
        if (m_about) {
            m_about->setWindowState(m_about->windowState() & ~Qt::WindowMinimized);
            m_about->show();
            m_about->raise();
            m_about->activateWindow();
        } else {
            m_about = about::AboutWindow::open(m_window);
        }
    } catch (const std::exception& failure) {
        qWarning("The About window could not be opened: %s", failure.what());
    }
}

void ShellCommands::checkForUpdates() {
    // Nothing while a check runs already; the popup tells the result when it arrives.
    m_updates.start([this](const update::UpdateNotice& notice) {
        if (!m_window) return; // the main window went meanwhile
        notify::UpdateNoticeWindow::open(m_host, notice.message, notice.kind,
                                         update::installerUrl());
    });
}

} // namespace vexa::shell
