#pragma once

#include "shell/HelpBook.h"

#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace vexa::shell {

// The help window: the contents on the left, the page on the right. Links between pages stay
// in the window; links to the web or to mail go to the desktop's programs.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kContentsPage = "contents";

    HelpWindow(HelpBook book, QWidget* owner);

    // The list of all topics as a page.
    void showContents();
    // A page of the book; false (and the contents shown) when the book has no such page.
    bool showTopic(const QString& file);

    // The page on show: a file name of the book, kContentsPage, or empty when the book is
    // missing and the window explains that instead.
    const QString& currentTopic() const { return m_current; }

    const HelpBook& book() const { return m_book; }
    QTreeWidget* contentsList() const { return m_list; }
    QTextBrowser* page() const { return m_page; }

private:
    void fillContents();
    int contentsWidth() const;
    void followLink(const QUrl& link);
    void selectInList(const QString& file);

    HelpBook m_book;
    QTreeWidget* m_list = nullptr;
    QTextBrowser* m_page = nullptr;
    QString m_current;
};

} // namespace vexa::shell
