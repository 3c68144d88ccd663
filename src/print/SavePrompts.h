#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vexa::print {

// What "Save as PDF…" asks the user and tells them; a test answers in its place.
class SavePrompts {
public:
    virtual ~SavePrompts() = default;
    // The file to write, starting from `suggestion` (a full path); nothing when the user
    // cancelled.
    virtual std::optional<QString> pdfFileName(const QString& suggestion) = 0;
    // Whether an existing file may be replaced.
    virtual bool replaceFile(const QString& path) = 0;
    // The outcome, as a message box.
    virtual void tell(bool saved, const QString& text) = 0;
};

// The file dialog and message boxes, over `owner`.
class DialogSavePrompts final : public SavePrompts {
public:
    explicit DialogSavePrompts(QWidget* owner) : m_owner(owner) {}
    std::optional<QString> pdfFileName(const QString& suggestion) override;
    bool replaceFile(const QString& path) override;
    void tell(bool saved, const QString& text) override;

private:
    QWidget* m_owner;
};

} // namespace vexa::print
