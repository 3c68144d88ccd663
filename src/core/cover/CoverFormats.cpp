#include "core/cover/CoverFormats.h"

namespace vexa::cover {

const CoverFormat* coverFormatAt(int position) {
    if (position < 1 || position > static_cast<int>(kCoverKindCount)) return nullptr;
    return &kCoverFormats[static_cast<std::size_t>(position - 1)];
}

const CoverFormat* coverFormatForKey(const QString& key) {
    for (const CoverFormat& kind : kCoverFormats) {
        if (key == QLatin1String(kind.key)) return &kind;
    }
    return nullptr;
}

QString coverName(const CoverFormat& kind) {
    QString name = QString::fromLatin1(kind.message);
    if (name.startsWith(QLatin1String("Printing "))) name.remove(0, 9);
    if (name.endsWith(QLatin1String(" Cover."))) name.chop(7);
    return name;
}

} // namespace vexa::cover
