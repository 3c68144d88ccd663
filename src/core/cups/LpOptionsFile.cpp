#include "core/cups/LpOptionsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa::cups {

namespace {

// A real options file holds a few lines per printer; anything far larger is not one.
constexpr qint64 kMaxFileSize = 1024 * 1024;

constexpr QByteArrayView kDefaultKeyword = "Default";
constexpr QByteArrayView kDestKeyword = "Dest";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Where the line's first word starts, and its end. libcups skips leading white space and
// treats an unescaped '#' as the start of a comment.
qsizetype wordEnd(const QByteArray& line, qsizetype from) {
    while (from < line.size() && !isBlank(line[from]) && line[from] != '#') ++from;
    return from;
}

qsizetype skipBlanks(const QByteArray& line, qsizetype from) {
    while (from < line.size() && isBlank(line[from])) ++from;
    return from;
}

// The keyword's position when the line is a `Default` line (any letter case, as libcups
// reads it), else -1.
qsizetype defaultKeywordAt(const QByteArray& line) {
    const qsizetype begin = skipBlanks(line, 0);
    const qsizetype end = wordEnd(line, begin);
    const QByteArrayView word = QByteArrayView(line).sliced(begin, end - begin);
    return word.compare(kDefaultKeyword, Qt::CaseInsensitive) == 0 ? begin : -1;
}

bool isDefaultLine(const QByteArray& line) {
    return defaultKeywordAt(line) >= 0;
}

// True when something other than a comment follows the destination's name.
bool carriesOptions(const QByteArray& line) {
    const qsizetype name = skipBlanks(line, defaultKeywordAt(line) + kDefaultKeyword.size());
    const qsizetype rest = skipBlanks(line, wordEnd(line, name));
    return rest < line.size() && line[rest] != '#';
}

// The same line with `Dest` in place of its `Default` keyword.
QByteArray asDestLine(const QByteArray& line) {
    QByteArray dest = line;
    dest.replace(defaultKeywordAt(line), kDefaultKeyword.size(), kDestKeyword.toByteArray());
    return dest;
}

// The file's lines, each with its own line ending (the last one may have none).
std::vector<QByteArray> splitLines(const QByteArray& content) {
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        const qsizetype end = newline < 0 ? content.size() : newline + 1;
        lines.push_back(content.sliced(start, end - start));
        start = end;
    }
    return lines;
}

QByteArray joinLines(const std::vector<QByteArray>& lines) {
    QByteArray content;
    for (const QByteArray& line : lines) content += line;
    return content;
}

// Inserts a line so that it stays a line of its own, whatever the neighbours end with.
void insertLine(std::vector<QByteArray>& lines, qsizetype at, QByteArray line) {
    at = std::min<qsizetype>(at, static_cast<qsizetype>(lines.size()));
    if (at > 0 && !lines[at - 1].endsWith('\n')) lines[at - 1] += '\n';
    if (at < static_cast<qsizetype>(lines.size()) && !line.endsWith('\n')) line += '\n';
    lines.insert(lines.begin() + at, std::move(line));
}

struct FileContent {
    bool readable = false;
    bool exists = false;
    QByteArray bytes;
};

FileContent readOptionsFile(const QString& path) {
    FileContent content;
    const QFileInfo info(path);
    if (!info.exists()) {
        content.readable = true;
        return content;
    }
    content.exists = true;
    // Regular files only: a FIFO would block the program at exit.
    if (!info.isFile() || info.size() > kMaxFileSize) return content;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return content;
    content.bytes = file.read(kMaxFileSize + 1);
    content.readable = file.error() == QFileDevice::NoError && content.bytes.size() <= kMaxFileSize;
    return content;
}

// Replaces the file in one step, so that a crash or a full disk never leaves half a file.
bool writeOptionsFile(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    // Created private, as libcups creates it.
    if (!QFileInfo::exists(folder) && ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString userOptionsPath() {
    QByteArray home = qgetenv("HOME");
    if (home.isEmpty()) {
        if (const passwd* account = ::getpwuid(::getuid())) home = account->pw_dir;
    }
    return QFile::decodeName(home) + QStringLiteral("/.cups/lpoptions");
}

SavedUserDefault readUserDefault() {
    const FileContent content = readOptionsFile(userOptionsPath());
    SavedUserDefault saved;
    saved.readable = content.readable;
    saved.fileExisted = content.exists;
    if (!saved.readable) return saved;
    const std::vector<QByteArray> lines = splitLines(content.bytes);
    for (qsizetype i = 0; i < static_cast<qsizetype>(lines.size()); ++i) {
        if (isDefaultLine(lines[i])) saved.lines.push_back({i, lines[i]});
    }
    return saved;
}

bool writeUserDefault(const QByteArray& destination) {
    const QString path = userOptionsPath();
    const FileContent content = readOptionsFile(path);
    if (!content.readable) return false;
    std::vector<QByteArray> lines{"Default " + destination + '\n'};
    for (const QByteArray& line : splitLines(content.bytes)) {
        if (!isDefaultLine(line))
            lines.push_back(line);
        else if (carriesOptions(line))
            lines.push_back(asDestLine(line));
    }
    return writeOptionsFile(path, joinLines(lines));
}

bool restoreUserDefault(const SavedUserDefault& saved) {
    if (!saved.readable) return false;
    const QString path = userOptionsPath();
    const FileContent content = readOptionsFile(path);
    if (!content.readable) return false;

    std::vector<QByteArray> lines;
    for (const QByteArray& line : splitLines(content.bytes)) {
        if (!isDefaultLine(line)) lines.push_back(line);
    }
    // In file order, so every earlier line is back in place before the next one is placed.
    for (const SavedUserDefault::Line& line : saved.lines) {
        const bool turnedIntoDest = carriesOptions(line.text) &&
                                    line.index < static_cast<qsizetype>(lines.size()) &&
                                    lines[line.index] == asDestLine(line.text);
        if (turnedIntoDest)
            lines[line.index] = line.text;
        else
            insertLine(lines, line.index, line.text);
    }

    const QByteArray restored = joinLines(lines);
    if (content.exists && restored == content.bytes) return true;
    if (restored.isEmpty() && !saved.fileExisted) return !content.exists || QFile::remove(path);
    return writeOptionsFile(path, restored);
}

} // namespace vexa::cups
