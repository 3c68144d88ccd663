// The main window's ways of getting pictures into the cover slots: browser clicks, files
// dropped onto a slot, files named on the command line or handed over by a second start,
// and Ctrl+V. All of them decode through the one PictureLoader; a project file among them
// opens as the whole set instead.
#include "app/MainWindow.h"

#include "app/OpenedFiles.h"
#include "app/PastedPicture.h"
#include "app/PictureBrowser.h"
#include "app/PictureLoader.h"
#include "app/ProjectCommands.h"
#include "app/SlotDropTarget.h"
#include "app/SlotTable.h"
#include "app/UnreadablePictureNotice.h"
#include "notify/MessageNoticeWindow.h"
#include "shell/ShellCommands.h"
#include "widgets/PictureHolder.h"

#include <QApplication>
#include <QClipboard>
#include <QShortcut>
#include <QTabWidget>

namespace vexa::app {

void MainWindow::setUpPictureLoading() {
    m_loader = new PictureLoader(this);
    // A file keeps its bytes in the record; a pasted bitmap comes as made in VEXA.
    connect(m_loader, &PictureLoader::pictureLoaded, m_projects, &ProjectCommands::putPicture);
    connect(m_loader, &PictureLoader::busyChanged, this, &MainWindow::updateBusy);
    auto* unreadable = new UnreadablePictureNotice(*this, this);
    connect(m_loader, &PictureLoader::pictureRefused, unreadable,
            [unreadable](cover::CoverKind, const QString& file, const QString& reason) {
                unreadable->show(file, reason);
            });

    for (const CoverSlot& slot : kCoverSlots) {
        auto* target = new SlotDropTarget(m_slots[static_cast<size_t>(slot.tab)], slot.kind);
        connect(target, &SlotDropTarget::filesDropped, this,
                [this](cover::CoverKind kind, const QStringList& paths) {
                    if (const QString project = firstProjectFile(paths); !project.isEmpty())
                        m_projects->openProjectFile(project);
                    else
                        m_loader->load({SlotLoad{kind, paths, QImage(), QByteArray()}});
                });
    }

    // A shortcut only: the menus keep exactly their items.
    auto* paste = new QShortcut(QKeySequence::Paste, this);
    connect(paste, &QShortcut::activated, this, &MainWindow::pasteIntoOpenSlot);
}

void MainWindow::updateBusy() {
    const bool busy = m_loader->isBusy() || m_projects->isBusy();
    if (busy == m_busy) return;
    m_busy = busy;
    // The window keeps drawing while the worker decodes, reads or writes, but takes no
    // commands, and the pointer says why.
    setCommandsEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::loadSelectedFiles() {
    // The open tab's caption decides the slot, now, at the click; the Scan tab has none.
    const CoverSlot* slot = slotForCaption(m_tabs->tabText(m_tabs->currentIndex()));
    if (!slot) return;
    const QStringList paths = m_browser->selectedFilePaths();
    if (paths.isEmpty()) return;
    // Of several files the last readable one stays; a notice names the last file when it is
    // unreadable, damaged or gone.
    m_loader->loadReplacing({slot->kind, paths, QImage(), QByteArray()});
}

void MainWindow::openFiles(const QStringList& files) {
    // A project replaces the whole set, so it opens alone.
    if (const QString project = firstProjectFile(files); !project.isEmpty()) {
        m_projects->openProjectFile(project);
        if (files.size() > 1)
            notify::MessageNoticeWindow::open(*this, leftOutBesideProjectNotice(files.size() - 1),
                                              QStringLiteral("picture"));
        return;
    }
    const OpenedFilesPlan plan = planOpenedFiles(m_tabs->currentIndex(), files);
    m_loader->load(plan.loads);
    if (plan.leftOut > 0)
        notify::MessageNoticeWindow::open(*this, leftOutNotice(plan.leftOut),
                                          QStringLiteral("picture"));
}

void MainWindow::pasteIntoOpenSlot() {
    const CoverSlot* slot = slotForCaption(m_tabs->tabText(m_tabs->currentIndex()));
    if (!slot) return;
    if (const std::optional<SlotLoad> load =
            pastedPicture(slot->kind, QApplication::clipboard()->mimeData()))
        m_loader->load({*load});
}

void MainWindow::bringToFront() {
    if (m_shell && m_shell->tray().inTray()) {
        m_shell->tray().leaveTray(true);
        return;
    }
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

} // namespace vexa::app
