#include "scan/WidgetPrompts.h"

#include "scan/TitleWidth.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace vexa::scan {

void WidgetPrompts::message(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information, title,
                    text, QMessageBox::Ok, m_owner);
    fitTitle(box); // the title carries the message: a box sized by its short text would cut it
    box.exec();
}

bool WidgetPrompts::askYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, m_owner);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> WidgetPrompts::saveFileName(const QString& filter) {
    // The program asks about replacing a file itself, in its own words.
    const QString name =
        QFileDialog::getSaveFileName(m_owner, QString(), QString(), qtFileFilter(filter), nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace vexa::scan
