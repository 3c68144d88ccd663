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

QString coverTitle(const CoverFormat& kind) {
    QString title = coverName(kind);
    for (qsizetype i = 0; i < title.size(); ++i) {
        if (i == 0 || title.at(i - 1) == QLatin1Char(' ')) title[i] = title.at(i).toUpper();
    }
    return title;
}

QString printingMessage(const CoverFormat& kind) {
    return QStringLiteral("Printing %1 Cover.").arg(coverTitle(kind));
}

QString printToolTip(const CoverFormat& kind) {
    return QStringLiteral("Print %1 cover.").arg(coverName(kind));
}

} // namespace vexa::cover
