#include "PrintableText.h"

namespace vexa::cli {

namespace {
QString escaped(const char* prefix, char16_t code, int digits) {
    return QLatin1String(prefix) +
           QString::number(code, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
} // namespace

QString printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            shown += escaped("\\x", code, 2);
        else if (c.category() == QChar::Other_Format)
            shown += escaped("\\u", code, 4);
        else
            shown += c;
    }
    return shown;
}

} // namespace vexa::cli
