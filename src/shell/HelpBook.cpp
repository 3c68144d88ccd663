#include "shell/HelpBook.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace vexa::shell {

QList<HelpTopic> parseHelpContents(const QString& text) {
    static const QRegularExpression plainPage(QStringLiteral(R"(^[A-Za-z0-9_-]+\.html$)"));
    QList<HelpTopic> topics;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        const qsizetype bar = trimmed.lastIndexOf(QLatin1Char('|'));
        if (bar < 0) continue;
        HelpTopic topic;
        topic.title = trimmed.left(bar).trimmed();
        topic.file = trimmed.mid(bar + 1).trimmed();
        // Only pages of the help folder itself: no paths, no other kinds of file.
        if (topic.title.isEmpty() || !plainPage.match(topic.file).hasMatch()) continue;
        qsizetype indent = 0;
        while (indent < line.size() && line.at(indent) == QLatin1Char(' ')) ++indent;
        topic.level = static_cast<int>(indent / 2);
        topics.append(topic);
    }
    return topics;
}

HelpBook HelpBook::load(const QString& folder) {
    HelpBook book;
    book.m_folder = folder;
    QFile contents(QDir(folder).filePath(QLatin1String(kContentsFile)));
    if (!folder.isEmpty() && contents.open(QIODevice::ReadOnly | QIODevice::Text))
        book.m_topics = parseHelpContents(QString::fromUtf8(contents.readAll()));
    return book;
}

QString HelpBook::defaultTopic() const {
    return m_topics.isEmpty() ? QString() : m_topics.front().file;
}

bool HelpBook::contains(const QString& file) const {
    for (const HelpTopic& topic : m_topics)
        if (topic.file == file) return true;
    return false;
}

QString HelpBook::filePath(const QString& file) const {
    return QDir(m_folder).filePath(file);
}

QString HelpBook::contentsPage() const {
    QString page = QStringLiteral("<html><body><h1>VEXA 6 Help</h1>"
                                  "<p>Choose a topic. The list on the left leads to the same "
                                  "pages.</p>");
    int open = 0; // nested lists still open
    for (const HelpTopic& topic : m_topics) {
        while (open <= topic.level) {
            page += QStringLiteral("<ul>");
            ++open;
        }
        while (open > topic.level + 1) {
            page += QStringLiteral("</ul>");
            --open;
        }
        page += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                    .arg(topic.file.toHtmlEscaped(), topic.title.toHtmlEscaped());
    }
    while (open-- > 0) page += QStringLiteral("</ul>");
    return page + QStringLiteral("</body></html>");
}

QString HelpBook::missingMessage() const {
    return QStringLiteral("<html><body><h2>The help pages are missing</h2>"
                          "<p>VEXA looks for its help pages in the folder<br><tt>%1</tt><br>"
                          "beside the program, but found no list of topics there "
                          "(the file <tt>%2</tt>).</p>"
                          "<p>Install VEXA again, or copy the folder <tt>help</tt> of the "
                          "release into the program folder, to get the help back. Everything "
                          "else in VEXA works without it.</p></body></html>")
        .arg(QDir::toNativeSeparators(m_folder).toHtmlEscaped(), QLatin1String(kContentsFile));
}

} // namespace vexa::shell
