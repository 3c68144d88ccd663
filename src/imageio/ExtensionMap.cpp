#include "imageio/ExtensionMap.h"

namespace vexa::imageio {

ExtensionMap ExtensionMap::fromPatternLists(const QStringList& patternLists) {
    ExtensionMap map;
    for (qsizetype i = patternLists.size() - 1; i >= 0; --i) {
        const QStringList pieces = patternLists[i].split(u';');
        const auto encoder = static_cast<qint32>(i);
        for (qsizetype p = 0; p + 1 < pieces.size(); ++p) map.add(pieces[p], encoder);
        const QString last = pieces.last().trimmed();
        if (!last.isEmpty()) map.add(last, encoder);
    }
    return map;
}

void ExtensionMap::add(const QString& pattern, qint32 index) {
    const QString key = pattern.toCaseFolded();
    if (!m_index.contains(key)) // the first encoder that listed a pattern keeps it
        m_index.insert(key, index);
}

std::optional<qint32> ExtensionMap::find(const QString& pattern) const {
    const auto it = m_index.constFind(pattern.toCaseFolded());
    if (it == m_index.constEnd()) return std::nullopt;
    return *it;
}

QString fileExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0 || fileName.indexOf(u'/', dot) >= 0) return QString();
    return fileName.mid(dot + 1);
}

} // namespace vexa::imageio
