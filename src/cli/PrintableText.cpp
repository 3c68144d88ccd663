#include "PrintableText.h"

namespace vexa::cli {

QString printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            shown += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0')).toUpper()
                         .replace(QLatin1String("\\X"), QLatin1String("\\x"));
        else if (c.category() == QChar::Other_Format)
            shown += QStringLiteral("\\u%1").arg(int(code), 4, 16, QLatin1Char('0')).toUpper()
                         .replace(QLatin1String("\\U"), QLatin1String("\\u"));
        else
            shown += c;
    }
    return shown;
}

} // namespace vexa::cli
