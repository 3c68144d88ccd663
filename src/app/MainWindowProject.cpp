// The main window's set of covers as a document: the File menu's project commands, Undo and
// Redo, Remove Picture, project files dropped onto the window, and the Cover Manipulator's
// Accept as a step of Undo. The work is ProjectCommands'.
#include "app/MainWindow.h"

#include "app/ProjectCommands.h"
#include "app/ProjectDropTarget.h"
#include "app/SlotTable.h"

#include <QAction>
#include <QTabWidget>

namespace vexa::app {

void MainWindow::setUpProject() {
    m_projects = new ProjectCommands(*this, m_covers, m_actions, *m_recentMenu);
    connect(m_projects, &ProjectCommands::busyChanged, this, &MainWindow::updateBusy);
    auto* drop = new ProjectDropTarget(this);
    connect(drop, &ProjectDropTarget::projectDropped, m_projects,
            &ProjectCommands::openProjectFile);
    connect(m_actions.removePicture, &QAction::triggered, this, [this] {
        // The Scan tab holds no cover.
        if (const CoverSlot* slot = slotForCaption(m_tabs->tabText(m_tabs->currentIndex())))
            m_projects->removePicture(slot->kind);
    });
}

void MainWindow::acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                            const cover::Framing& framing) {
    m_projects->acceptEdit(kind, std::move(picture), framing);
}

} // namespace vexa::app
