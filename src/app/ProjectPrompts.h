#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vexa::app {

// The answer to "Save the changes to ...?".
enum class UnsavedAnswer { Save, Discard, Cancel };

// What the project commands ask the user and tell them; a test answers in its place.
class ProjectPrompts {
public:
    virtual ~ProjectPrompts() = default;
    // The set has unsaved changes and is about to be replaced or closed; `name` is the
    // project's file name, empty for a set never saved.
    virtual UnsavedAnswer askToSave(const QString& name) = 0;
    // The project file to open, starting in `folder`; nothing when the user cancelled.
    virtual std::optional<QString> openFileName(const QString& folder) = 0;
    // The file to save as, starting from `suggestion` (a full path); nothing when cancelled.
    virtual std::optional<QString> saveFileName(const QString& suggestion) = 0;
    // "VEXA did not close normally. Restore the covers of HH:MM?": true to restore.
    virtual bool restoreCovers(const QString& question) = 0;
    // A file that could not be opened or saved, in one sentence.
    virtual void tellFailure(const QString& sentence) = 0;
};

// Message boxes and file dialogs over `owner`.
class DialogProjectPrompts final : public ProjectPrompts {
public:
    explicit DialogProjectPrompts(QWidget* owner) : m_owner(owner) {}
    UnsavedAnswer askToSave(const QString& name) override;
    std::optional<QString> openFileName(const QString& folder) override;
    std::optional<QString> saveFileName(const QString& suggestion) override;
    bool restoreCovers(const QString& question) override;
    void tellFailure(const QString& sentence) override;

private:
    QWidget* m_owner;
};

// The question's text: "Save the changes to covers.vexa?", or "... to the covers?" for a set
// never saved.
QString saveQuestion(const QString& name);

} // namespace vexa::app
