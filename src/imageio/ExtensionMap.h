#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace vexa::imageio {

// Finds the encoder for a file name: every file-name pattern of every encoder ("*.JPG")
// is a key, compared without regard to letter case, whose value is the encoder's index.
class ExtensionMap {
public:
    // `patternLists[i]` is encoder i's patterns separated by ";". The encoders are taken
    // from the last to the first; each list is split at every ";". The pieces before the
    // last are taken as they are; the last is trimmed of blanks and skipped when empty, so
    // a list ending in ";" adds nothing for its end. A pattern listed twice keeps the
    // encoder that added it first.
    static ExtensionMap fromPatternLists(const QStringList& patternLists);

    bool isEmpty() const { return m_index.isEmpty(); }
    qsizetype size() const { return m_index.size(); }

    // The encoder index of a pattern such as "*.jpeg", or nothing.
    std::optional<qint32> find(const QString& pattern) const;

private:
    void add(const QString& pattern, qint32 index);

    QHash<QString, qint32> m_index;
};

// The text after the last "." of a file name, provided no "/" follows that "."; otherwise,
// and when there is no ".", the empty text.
QString fileExtension(const QString& fileName);

} // namespace vexa::imageio
