#include "core/base/PrintableText.h"

namespace vexa::base {

namespace {
QString escaped(const char* prefix, char16_t code, int digits) {
    return QLatin1String(prefix) +
           QString::number(code, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
} // namespace

QString printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += c;
            shown += text[++i];
        } else if (code >= 0xDC80 && code <= 0xDCFF) {
            shown += escaped("\\x", code - 0xDC00, 2);
        } else if (c.isSurrogate()) {
            shown += escaped("\\u", code, 4);
        } else if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) {
            shown += escaped("\\x", code, 2);
        } else if (c.category() == QChar::Other_Format) {
            shown += escaped("\\u", code, 4);
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace vexa::base
