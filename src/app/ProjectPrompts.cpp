#include "app/ProjectPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vexa::app {

namespace {

const QString kFilter = QStringLiteral("VEXA projects (*.vexa)");

} // namespace

QString saveQuestion(const QString& name) {
    return name.isEmpty() ? QStringLiteral("Save the changes to the covers?")
                          : QStringLiteral("Save the changes to %1?").arg(name);
}

UnsavedAnswer DialogProjectPrompts::askToSave(const QString& name) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("VEXA 6"), saveQuestion(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_owner);
    box.setObjectName(QStringLiteral("saveQuestion"));
    box.setInformativeText(QStringLiteral("Changes not saved are lost."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedAnswer::Save;
    case QMessageBox::Discard:
        return UnsavedAnswer::Discard;
    default:
        return UnsavedAnswer::Cancel;
    }
}

std::optional<QString> DialogProjectPrompts::openFileName(const QString& folder) {
    const QString name =
        QFileDialog::getOpenFileName(m_owner, QStringLiteral("Open Project"), folder, kFilter);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QString> DialogProjectPrompts::saveFileName(const QString& suggestion) {
    QFileDialog dialog(m_owner, QStringLiteral("Save Project As"), suggestion, kFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("vexa")); // "covers" is saved as "covers.vexa"
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool DialogProjectPrompts::restoreCovers(const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("VEXA 6"), question,
                    QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setObjectName(QStringLiteral("restoreQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void DialogProjectPrompts::tellFailure(const QString& sentence) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("VEXA 6"), sentence, QMessageBox::Ok,
                    m_owner);
    box.exec();
}

} // namespace vexa::app
