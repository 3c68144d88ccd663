#include "core/settings/ProfileFileText.h"

#include "core/base/FilePath.h"
#include "core/settings/ProfileFile.h"

#include <algorithm>
#include <optional>

namespace vexa::settings {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimBlanks(QByteArrayView text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start])) ++start;
    while (end > start && isBlank(text[end - 1])) --end;
    return text.sliced(start, end - start);
}

// One line of the file: [start, end) is its text without the line end, `next` the start of
// the following line (text.size() after the last one).
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    bool endsWithNewline = false; // false only for a last line without "\n" (a lone "\r" too)
};

// A UTF-8 byte-order mark that editors put in front of the first line.
constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

qsizetype byteOrderMarkSize(const QByteArray& text) {
    return text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

// A line ends at "\n", "\r\n" or a lone "\r" (files from old Macs).
class Lines {
public:
    explicit Lines(const QByteArray& text) : m_text(text), m_pos(byteOrderMarkSize(text)) {}
    std::optional<Line> next() {
        if (m_pos >= m_text.size()) return std::nullopt;
        Line line;
        line.start = m_pos;
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text[end] != '\n' && m_text[end] != '\r') ++end;
        line.end = end;
        line.endsWithNewline = end < m_text.size();
        line.next = end;
        if (end < m_text.size()) {
            line.next = end + 1;
            if (m_text[end] == '\r' && end + 1 < m_text.size() && m_text[end + 1] == '\n')
                line.next = end + 2;
        }
        m_pos = line.next;
        return line;
    }

private:
    const QByteArray& m_text;
    qsizetype m_pos;
};

// The line end new lines get: the file's own.
QByteArray lineEndOf(const QByteArray& text) {
    if (text.contains("\r\n")) return QByteArrayLiteral("\r\n");
    if (text.contains('\r') && !text.contains('\n')) return QByteArrayLiteral("\r");
    return QByteArrayLiteral("\n");
}

QByteArrayView textOf(const QByteArray& text, const Line& line) {
    return QByteArrayView(text).sliced(line.start, line.end - line.start);
}

bool sameName(QByteArrayView bytes, const QString& name) {
    return QString::fromUtf8(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing when the line is not a section header.
std::optional<QByteArrayView> sectionName(QByteArrayView line) {
    const QByteArrayView text = trimBlanks(line);
    if (!text.startsWith('[')) return std::nullopt;
    const qsizetype close = text.indexOf(']');
    if (close < 0) return std::nullopt;
    return trimBlanks(text.sliced(1, close - 1));
}

struct KeyLine {
    QByteArrayView key;
    QByteArrayView value;
};

std::optional<KeyLine> keyLine(QByteArrayView line) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) return std::nullopt;
    return KeyLine{trimBlanks(line.first(eq)), trimBlanks(line.sliced(eq + 1))};
}

// A value as text: one pair of matching quotes around it removed, as Windows' profile reader
// does; bytes that are not UTF-8 kept as file names keep them (see FilePath.h).
QString valueText(QByteArrayView value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return base::fileNameText(value.toByteArray()).left(ProfileFile::kMaxValueLength);
}

// True for a line meant as the header of `section` that is not one: the name with a bracket
// missing or doubled, or without brackets ("[CALIBRATION", "CALIBRATION]", "CALIBRATION").
bool brokenHeaderOf(QByteArrayView line, const QString& section) {
    const QByteArrayView text = trimBlanks(line);
    if (text.contains('=')) return false;
    if (const auto name = sectionName(text); name && sameName(*name, section)) return false;
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text[start] == '[' || isBlank(text[start]))) ++start;
    while (end > start && (text[end - 1] == ']' || isBlank(text[end - 1]))) --end;
    return start < end && sameName(text.sliced(start, end - start), section);
}

// Each line of the file as far as one section is concerned.
struct SectionLine {
    Line line;
    int number = 0;
    enum class Kind { Header, BrokenHeader, Entry, Other } kind = Kind::Other;
    bool inSection = false;    // in a section of the name (for a header: it starts one)
    bool firstSection = false; // in the first such section, the one the reader reads
    bool belowBrokenHeader = false;
    QByteArrayView key;
    QByteArrayView value;
};

// Calls `visit` with every line of `text`, placed for `section`.
template <typename Visit>
void scanSection(const QByteArray& text, const QString& section, Visit&& visit) {
    Lines lines(text);
    int number = 0;
    int sectionsSeen = 0;
    bool inSection = false;
    bool belowBrokenHeader = false;
    while (const auto line = lines.next()) {
        SectionLine placed;
        placed.line = *line;
        placed.number = ++number;
        const QByteArrayView content = textOf(text, *line);
        if (brokenHeaderOf(content, section)) {
            placed.kind = SectionLine::Kind::BrokenHeader;
            // Inside a section of the name, the lines below stay in it as the file is read.
            belowBrokenHeader = !inSection;
        } else if (const auto name = sectionName(content)) {
            placed.kind = SectionLine::Kind::Header;
            inSection = sameName(*name, section);
            if (inSection) ++sectionsSeen;
            belowBrokenHeader = false;
        } else if (const auto entry = keyLine(content)) {
            placed.kind = SectionLine::Kind::Entry;
            placed.key = entry->key;
            placed.value = entry->value;
        }
        placed.inSection = inSection;
        placed.firstSection = inSection && sectionsSeen == 1;
        placed.belowBrokenHeader = belowBrokenHeader;
        visit(placed);
    }
}

// The lines of `key` for `section`, as profileKeyLines tells them.
std::vector<SectionLine> keyEntries(const QByteArray& text, const QString& section,
                                    const QString& key) {
    std::vector<SectionLine> entries;
    scanSection(text, section, [&](const SectionLine& line) {
        if (line.kind == SectionLine::Kind::Entry && (line.inSection || line.belowBrokenHeader) &&
            sameName(line.key, key))
            entries.push_back(line);
    });
    return entries;
}

// `text` without the lines of `entries` but `keep` (a line number; 0 keeps none).
QByteArray withoutEntries(QByteArray text, const std::vector<SectionLine>& entries, int keep) {
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        if (entry->number != keep)
            text.remove(entry->line.start, entry->line.next - entry->line.start);
    return text;
}

} // namespace

QString profileValue(const QByteArray& text, const QString& section, const QString& key) {
    Lines lines(text);
    bool inSection = false;
    while (const auto line = lines.next()) {
        const QByteArrayView content = textOf(text, *line);
        if (const auto name = sectionName(content)) {
            if (inSection) break; // only the first section of that name counts
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (const auto entry = keyLine(content); entry && sameName(entry->key, key))
            return valueText(entry->value);
    }
    return {};
}

QByteArray withProfileValue(const QByteArray& text, const QString& section, const QString& key,
                            const QString& value) {
    const QByteArray newline = lineEndOf(text);
    const QByteArray valueBytes = base::fileNameBytes(value);
    Lines lines(text);
    std::optional<Line> lastInSection; // the header, then the last non-blank line
    while (const auto line = lines.next()) {
        const QByteArrayView content = textOf(text, *line);
        if (const auto name = sectionName(content)) {
            if (lastInSection) break;
            if (sameName(*name, section)) lastInSection = line;
            continue;
        }
        if (!lastInSection) continue;
        if (const auto entry = keyLine(content); entry && sameName(entry->key, key)) {
            QByteArray result = text;
            result.replace(line->start, line->end - line->start,
                           entry->key.toByteArray() + '=' + valueBytes);
            return result;
        }
        if (!trimBlanks(content).isEmpty()) lastInSection = line;
    }
    const QByteArray entry = key.toUtf8() + '=' + valueBytes + newline;
    QByteArray result = text;
    if (lastInSection) {
        const QByteArray before = lastInSection->endsWithNewline ? QByteArray() : newline;
        result.insert(lastInSection->next, before + entry);
        return result;
    }
    if (result.size() > byteOrderMarkSize(result) && !result.endsWith('\n') &&
        !result.endsWith('\r'))
        result += newline;
    result += '[' + section.toUtf8() + ']' + newline + entry;
    return result;
}

QByteArray withoutProfileValue(const QByteArray& text, const QString& section, const QString& key) {
    Lines lines(text);
    bool inSection = false;
    while (const auto line = lines.next()) {
        const QByteArrayView content = textOf(text, *line);
        if (const auto name = sectionName(content)) {
            if (inSection) break;
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (const auto entry = keyLine(content); entry && sameName(entry->key, key)) {
            QByteArray result = text;
            result.remove(line->start, line->next - line->start);
            return result;
        }
    }
    return text;
}

std::vector<BrokenHeader> brokenSectionHeaders(const QByteArray& text, const QString& section) {
    std::vector<BrokenHeader> headers;
    bool counting = false;
    scanSection(text, section, [&](const SectionLine& line) {
        if (line.kind == SectionLine::Kind::Header) counting = false;
        if (line.kind == SectionLine::Kind::BrokenHeader && line.belowBrokenHeader) {
            headers.push_back(
                {line.number, QString::fromUtf8(trimBlanks(textOf(text, line.line))), 0});
            counting = true;
        }
        if (line.kind == SectionLine::Kind::Entry && counting) ++headers.back().entries;
    });
    return headers;
}

std::vector<ProfileKeyLine> profileKeyLines(const QByteArray& text, const QString& section,
                                            const QString& key) {
    std::vector<ProfileKeyLine> lines;
    for (const SectionLine& entry : keyEntries(text, section, key))
        lines.push_back({entry.number, valueText(entry.value), entry.belowBrokenHeader});
    return lines;
}

QByteArray withSingleProfileValue(const QByteArray& text, const QString& section,
                                  const QString& key, const QString& value) {
    const std::vector<SectionLine> entries = keyEntries(text, section, key);
    // The line withProfileValue replaces: the key's first line in the first section.
    const auto read = std::find_if(entries.begin(), entries.end(),
                                   [](const SectionLine& entry) { return entry.firstSection; });
    const int keep = read == entries.end() ? 0 : read->number;
    return withProfileValue(withoutEntries(text, entries, keep), section, key, value);
}

QByteArray withoutAnyProfileValue(const QByteArray& text, const QString& section,
                                  const QString& key) {
    return withoutEntries(text, keyEntries(text, section, key), 0);
}

} // namespace vexa::settings
