#include "print/SavePrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vexa::print {

std::optional<QString> DialogSavePrompts::pdfFileName(const QString& suggestion) {
    // The replace question is asked afterwards in the program's own words, as on the Scan tab.
    const QString name = QFileDialog::getSaveFileName(m_owner, QStringLiteral("Save as PDF"),
                                                      suggestion, QStringLiteral("PDF (*.pdf)"),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

bool DialogSavePrompts::replaceFile(const QString& path) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("File Already Exists"),
                    path + QStringLiteral(" already exists. Do you want to replace this file?"),
                    QMessageBox::Yes | QMessageBox::No, m_owner);
    return box.exec() == QMessageBox::Yes;
}

void DialogSavePrompts::tell(bool saved, const QString& text) {
    QMessageBox box(saved ? QMessageBox::Information : QMessageBox::Critical,
                    saved ? QStringLiteral("File Saved") : QStringLiteral("File Not Saved"), text,
                    QMessageBox::Ok, m_owner);
    box.exec();
}

} // namespace vexa::print
