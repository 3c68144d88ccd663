#include "app/ProjectCommands.h"

#include "app/RecentProjects.h"
#include "core/base/FilePath.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/SheetChoices.h"
#include "core/project/ProjectSave.h"
#include "core/project/RecoveryCopy.h"
#include "print/RememberedSelection.h"
#include "print/TrimChoices.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QUndoStack>
#include <QWidget>

#include <sys/stat.h>

#include <utility>

namespace vexa::app {

namespace {

// Print Covers keeps its choices in the settings; the set's are the same choices.
project::PrintChoices rememberedPrintChoices() {
    return {print::rememberedSelection(), cover::rememberedPaper(), print::rememberedTrim(),
            cover::rememberedSheets()};
}

void rememberPrintChoices(const project::PrintChoices& choices) {
    print::rememberSelection(choices.chosen);
    cover::rememberPaper(choices.paper);
    print::rememberTrim(choices.trim);
    cover::rememberSheets(choices.sheets);
}

bool fileExists(const QString& path) {
    struct stat info {};
    return ::stat(base::FilePath::fromText(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

QString projectWindowTitle(const QString& fileName) {
    return fileName.isEmpty() ? QStringLiteral("VEXA 6[*]")
                              : fileName + QStringLiteral("[*] - VEXA 6");
}

ProjectCommands::ProjectCommands(QWidget& window, cover::CoverSet& covers,
                                 const MainActions& actions, QMenu& recent,
                                 const project::DocumentOptions& options)
    : QObject(&window), m_window(window), m_actions(actions), m_recent(recent),
      m_document(covers, options), m_recoveryFolder(options.recoveryFolder),
      m_prompts(std::make_unique<DialogProjectPrompts>(&window)) {
    const MainActions& a = m_actions;
    connect(a.newProject, &QAction::triggered, this, &ProjectCommands::newProject);
    connect(a.openProject, &QAction::triggered, this, &ProjectCommands::openProject);
    connect(a.saveProject, &QAction::triggered, this, [this] { save(); });
    connect(a.saveProjectAs, &QAction::triggered, this, [this] { saveAs(); });
    QUndoStack& stack = m_document.history().stack();
    connect(a.undo, &QAction::triggered, &stack, &QUndoStack::undo);
    connect(a.redo, &QAction::triggered, &stack, &QUndoStack::redo);
    connect(&stack, &QUndoStack::indexChanged, this, &ProjectCommands::updateActions);
    connect(&stack, &QUndoStack::cleanChanged, this, &ProjectCommands::updateActions);
    connect(&m_recent, &QMenu::aboutToShow, this, &ProjectCommands::fillRecentMenu);

    connect(&m_document, &project::ProjectDocument::modifiedChanged, this,
            &ProjectCommands::updateTitle);
    connect(&m_document, &project::ProjectDocument::pathChanged, this,
            &ProjectCommands::updateTitle);
    connect(&m_document, &project::ProjectDocument::busyChanged, this, [this](bool busy) {
        emit busyChanged(busy);
        if (busy || m_waitingOpen.isEmpty()) return;
        openProjectFile(std::exchange(m_waitingOpen, QString()));
    });
    connect(&m_document, &project::ProjectDocument::opened, this, [this] {
        // Print Covers shows the set's choices from now on.
        rememberPrintChoices(m_document.printChoices());
        if (!m_opening.isEmpty()) rememberRecentProject(std::exchange(m_opening, QString()));
        fillRecentMenu();
    });
    connect(&m_document, &project::ProjectDocument::openFailed, this,
            [this](const QString& sentence) {
                m_opening.clear();
                m_prompts->tellFailure(sentence);
            });
    connect(&m_document, &project::ProjectDocument::saved, this, [this] {
        rememberRecentProject(m_document.path().text());
        fillRecentMenu();
        if (auto next = std::exchange(m_afterSave, {})) next();
    });
    connect(&m_document, &project::ProjectDocument::saveFailed, this,
            [this](const QString& sentence) {
                m_afterSave = {};
                m_prompts->tellFailure(sentence);
            });
    updateTitle();
    updateActions();
    fillRecentMenu();
}

ProjectCommands::~ProjectCommands() {
    // The stack tells of its clearing while it is destroyed, when the window's actions may be
    // gone already.
    disconnect(&m_document.history().stack(), nullptr, this, nullptr);
    disconnect(&m_document, nullptr, this, nullptr);
}

void ProjectCommands::setPrompts(std::unique_ptr<ProjectPrompts> prompts) {
    m_prompts = std::move(prompts);
}

void ProjectCommands::start() {
    m_document.newProject(rememberedPrintChoices());
    std::unique_ptr<project::RecoveryOffer> offer = project::RecoveryOffer::find(m_recoveryFolder);
    if (!offer) return;
    if (m_prompts->restoreCovers(offer->question()))
        m_document.restore(std::move(offer));
    else
        offer->remove();
}

void ProjectCommands::putPicture(cover::CoverKind kind, const picture::LoadedPicture& picture) {
    m_document.history().putPicture(kind, picture);
}

void ProjectCommands::removePicture(cover::CoverKind kind) {
    m_document.history().removePicture(kind);
}

void ProjectCommands::acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                                 const cover::Framing& framing) {
    m_document.history().acceptEdit(kind, std::move(picture), framing);
}

void ProjectCommands::setFraming(cover::CoverKind kind, const cover::Framing& framing) {
    m_document.history().setFraming(kind, framing);
}

void ProjectCommands::takePrintChoices() {
    m_document.setPrintChoices(rememberedPrintChoices());
}

void ProjectCommands::settleThen(std::function<void()> next) {
    if (!m_document.isModified()) {
        next();
        return;
    }
    switch (m_prompts->askToSave(m_document.fileName())) {
    case UnsavedAnswer::Save:
        save(std::move(next));
        return;
    case UnsavedAnswer::Discard:
        next();
        return;
    case UnsavedAnswer::Cancel:
        return;
    }
}

void ProjectCommands::newProject() {
    settleThen([this] { m_document.newProject(rememberedPrintChoices()); });
}

void ProjectCommands::openProject() {
    settleThen([this] {
        if (const std::optional<QString> path = m_prompts->openFileName(startFolder())) {
            m_opening = *path;
            m_document.open(base::FilePath::fromText(*path));
        }
    });
}

void ProjectCommands::openProjectFile(const QString& path) {
    if (m_document.isBusy()) {
        m_waitingOpen = path; // asked once the open or save under way is done
        return;
    }
    settleThen([this, path] {
        m_opening = path;
        m_document.open(base::FilePath::fromText(path));
    });
}

void ProjectCommands::save(std::function<void()> next) {
    if (m_document.path().isEmpty()) {
        saveAs(std::move(next));
        return;
    }
    m_afterSave = std::move(next);
    m_document.save();
}

void ProjectCommands::saveAs(std::function<void()> next) {
    const QString suggestion = m_document.path().isEmpty()
                                   ? QDir(startFolder()).filePath(QStringLiteral("Covers.vexa"))
                                   : m_document.path().text();
    const std::optional<QString> path = m_prompts->saveFileName(suggestion);
    if (!path) return;
    m_afterSave = std::move(next);
    m_document.saveAs(base::FilePath::fromText(*path));
}

void ProjectCommands::endSession() {
    m_document.endSession();
}

void ProjectCommands::keepRecoveryCopy() {
    m_document.keepRecoveryCopy();
}

void ProjectCommands::setCommandsEnabled(bool enabled) {
    m_commandsEnabled = enabled;
    updateActions();
}

void ProjectCommands::updateTitle() {
    m_window.setWindowTitle(projectWindowTitle(m_document.fileName()));
    m_window.setWindowModified(m_document.isModified());
}

void ProjectCommands::updateActions() {
    const QUndoStack& stack = m_document.history().stack();
    m_actions.undo->setEnabled(m_commandsEnabled && stack.canUndo());
    m_actions.redo->setEnabled(m_commandsEnabled && stack.canRedo());
    m_recent.menuAction()->setEnabled(m_commandsEnabled && !m_recent.isEmpty());
}

void ProjectCommands::fillRecentMenu() {
    m_recent.clear();
    const QStringList recent = recentProjects();
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QString& path = recent[i];
        QString name = project::projectFileName(base::FilePath::fromText(path));
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = m_recent.addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(name)
                                                 : QStringLiteral("1&0 ") + name);
        item->setToolTip(path);
        item->setStatusTip(path);
        // A file moved or deleted since stays in the list, greyed, in case its disk comes back.
        item->setEnabled(fileExists(path));
        connect(item, &QAction::triggered, this, [this, path] { openProjectFile(path); });
    }
    m_recent.menuAction()->setEnabled(m_commandsEnabled && !recent.isEmpty());
}

QString ProjectCommands::startFolder() const {
    if (!m_document.path().isEmpty()) return QFileInfo(m_document.path().text()).absolutePath();
    const QStringList recent = recentProjects();
    if (!recent.isEmpty()) return QFileInfo(recent.constFirst()).absolutePath();
    return QDir::homePath();
}

} // namespace vexa::app
