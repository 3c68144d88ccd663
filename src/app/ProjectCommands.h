#pragma once

#include "app/MainActions.h"
#include "app/ProjectPrompts.h"
#include "core/cover/CoverSet.h"
#include "core/project/ProjectDocument.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace vexa::app {

// The main window's set of covers as a document: New, Open..., Open Recent, Save and Save As,
// Undo and Redo, Remove Picture, the window's title with its modified mark, the question
// before unsaved changes are replaced or closed, and the recovery copy offered at start. The
// work itself is the window-free ProjectDocument's; this class asks and wires.
class ProjectCommands : public QObject {
    Q_OBJECT
public:
    ProjectCommands(QWidget& window, cover::CoverSet& covers, const MainActions& actions,
                    QMenu& recent, const project::DocumentOptions& options = {});
    ~ProjectCommands() override;

    // Message boxes and file dialogs over the window until a test gives its own.
    void setPrompts(std::unique_ptr<ProjectPrompts> prompts);
    project::ProjectDocument& document() { return m_document; }

    // At start: the print choices in the settings become the set's, and a recovery copy left
    // by a VEXA that did not close normally is offered.
    void start();

    // The changes to the set, each a step of Undo.
    void putPicture(cover::CoverKind kind, const picture::LoadedPicture& picture);
    void removePicture(cover::CoverKind kind);
    void acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                    const cover::Framing& framing);
    // A fit chosen or a crop moved in a slot: a step of Undo, as pictures are.
    void setFraming(cover::CoverKind kind, const cover::Framing& framing);
    // Print Covers was closed: its choices, as the settings keep them, become the set's.
    void takePrintChoices();

    // Opens a project file (a drop, the command line, a second start, Open Recent), after the
    // question when the set has unsaved changes.
    void openProjectFile(const QString& path);

    // Runs `next` once the set's unsaved changes are settled: there are none, they were
    // saved, or the user discarded them. Never after Cancel or a failed save.
    void settleThen(std::function<void()> next);

    // A normal end, after settleThen: the recovery copy is removed.
    void endSession();
    // An end that is not normal (a logout, a signal): the recovery copy is brought up to
    // date and stays for the next start.
    void keepRecoveryCopy();

    // An open or save runs.
    bool isBusy() const { return m_document.isBusy(); }
    // The window took its commands away (false) or gave them back (true): Undo, Redo and the
    // Open Recent list follow their own state again once they are back.
    void setCommandsEnabled(bool enabled);

signals:
    void busyChanged(bool busy);

private:
    void newProject();
    void openProject();
    void save(std::function<void()> next = {});
    void saveAs(std::function<void()> next = {});
    void updateTitle();
    void updateActions();
    void fillRecentMenu();
    QString startFolder() const;

    QWidget& m_window;
    const MainActions& m_actions;
    QMenu& m_recent;
    project::ProjectDocument m_document;
    QString m_recoveryFolder;
    std::unique_ptr<ProjectPrompts> m_prompts;
    bool m_commandsEnabled = true;
    // Run once the save under way has written its file; dropped when it fails.
    std::function<void()> m_afterSave;
    // A file to open once the open or save under way is done.
    QString m_waitingOpen;
    // The file being opened by the user, to be remembered in Open Recent once it is open.
    QString m_opening;
};

// The window's title: "covers.vexa[*] - VEXA 6", or "VEXA 6[*]" for a set never saved; Qt
// shows the [*] as "*" while the set has unsaved changes.
QString projectWindowTitle(const QString& fileName);

} // namespace vexa::app
