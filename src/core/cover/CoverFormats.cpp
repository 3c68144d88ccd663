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
    return QString::fromLatin1(kind.name);
}

QString printingMessage(const CoverFormat& kind) {
    return QStringLiteral("Printing %1 Cover.").arg(coverName(kind));
}

} // namespace vexa::cover
