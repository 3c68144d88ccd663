#include "ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <optional>

namespace vexa {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start])) ++start;
    while (end > start && isBlank(text[end - 1])) --end;
    return text.mid(start, end - start);
}

// The section name of a "[name]" line, or nothing when the line is not a section header.
std::optional<QStringView> sectionName(QStringView line) {
    QStringView text = trimBlanks(line);
    if (!text.startsWith(u'[')) return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0) return std::nullopt;
    return trimBlanks(text.mid(1, close - 1));
}

struct KeyLine {
    QStringView key;
    QStringView value;
};

std::optional<KeyLine> keyLine(QStringView line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) return std::nullopt;
    return KeyLine{trimBlanks(line.left(eq)), trimBlanks(line.mid(eq + 1))};
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct FileText {
    QStringList lines;
    QString newline = QStringLiteral("\n");
    bool endsWithNewline = true;
};

std::optional<FileText> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QString text = QString::fromUtf8(file.readAll());
    FileText result;
    if (text.contains(QStringLiteral("\r\n"))) result.newline = QStringLiteral("\r\n");
    result.endsWithNewline = text.isEmpty() || text.endsWith(u'\n');
    result.lines = text.split(u'\n');
    if (result.endsWithNewline)
        result.lines.removeLast(); // the empty piece after the final line end
    for (QString& line : result.lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return result;
}

} // namespace

QString ProfileFile::read(const QString& section, const QString& key) const {
    const auto file = readLines(m_path);
    if (!file) return {};
    bool inSection = false;
    for (const QString& line : file->lines) {
        if (const auto name = sectionName(line)) {
            if (inSection) break; // only the first section of that name counts
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (const auto entry = keyLine(line); entry && sameName(entry->key, key))
            return entry->value.left(kMaxValueLength).toString();
    }
    return {};
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value) const {
    auto hasLineBreak = [](const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
        section.contains(u']') || key.contains(u'=') || trimBlanks(key).isEmpty())
        return false;

    FileText file;
    if (QFile::exists(m_path)) {
        auto existing = readLines(m_path);
        if (!existing) return false; // unreadable: never replace a file we could not read
        file = std::move(*existing);
    }

    const QString entry = key + u'=' + value;
    qsizetype sectionLine = -1;   // index of the section header
    qsizetype lastInSection = -1; // last non-blank line of the section
    bool written = false;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const QString& line = file.lines[i];
        if (const auto name = sectionName(line)) {
            if (sectionLine >= 0) break;
            if (sameName(*name, section)) {
                sectionLine = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionLine < 0) continue;
        if (const auto found = keyLine(line); found && sameName(found->key, key)) {
            file.lines[i] = entry;
            written = true;
            break;
        }
        if (!trimBlanks(line).isEmpty()) lastInSection = i;
    }
    if (!written) {
        if (sectionLine >= 0) {
            file.lines.insert(lastInSection + 1, entry);
        } else {
            file.lines.append(u'[' + section + u']');
            file.lines.append(entry);
        }
    }

    QString text = file.lines.join(file.newline);
    if (!file.lines.isEmpty()) text += file.newline;

    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace vexa
