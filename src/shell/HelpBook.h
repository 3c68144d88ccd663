#pragma once

#include <QList>
#include <QString>

namespace vexa::shell {

// One entry of the help's contents: a page in the help folder, indented by its level.
struct HelpTopic {
    QString title;
    QString file; // a plain file name inside the help folder
    int level = 0;
};

// Reads the contents file: one topic per line, "Title | file.html", two blanks of indent per
// level below the first; blank lines and lines starting with "#" are comments. Lines without a
// title, or whose file is not a plain .html name in the help folder itself, are skipped.
QList<HelpTopic> parseHelpContents(const QString& text);

// The help pages shipped in the program folder.
class HelpBook {
public:
    static constexpr const char* kContentsFile = "contents.txt";

    // Reads the contents of a help folder; a missing folder or contents file gives an empty
    // book that explains itself (missingMessage).
    static HelpBook load(const QString& folder);

    const QString& folder() const { return m_folder; }
    const QList<HelpTopic>& topics() const { return m_topics; }
    bool isEmpty() const { return m_topics.isEmpty(); }

    // The page shown first: the first topic of the contents.
    QString defaultTopic() const;
    bool contains(const QString& file) const;
    QString filePath(const QString& file) const;

    // The contents as a page of links, for the help window's first view.
    QString contentsPage() const;
    // What the help window shows when there are no pages to show.
    QString missingMessage() const;

private:
    QString m_folder;
    QList<HelpTopic> m_topics;
};

} // namespace vexa::shell
