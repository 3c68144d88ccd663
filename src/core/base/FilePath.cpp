#include "core/base/FilePath.h"

namespace vexa::base {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80 ... U+DCFF stand for bytes 0x80 ... 0xFF

// The length of the well-formed UTF-8 sequence at `at` (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when there is none.
int sequenceLength(const QByteArray& bytes, qsizetype at, char32_t& codePoint) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    codePoint = value;
    return length;
}

void appendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

} // namespace

QString fileNameText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t c = 0;
        const int length = sequenceLength(bytes, at, c);
        if (length == 0) {
            text.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        text.append(QString::fromUcs4(&c, 1));
        at += length;
    }
    return text;
}

QByteArray fileNameBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            bytes.append(char(unit - kEscapeBase));
        } else if (QChar::isSurrogate(unit)) {
            appendUtf8(bytes, 0xFFFD); // a lone surrogate no name can hold
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

FilePath FilePath::fromText(const QString& text) {
    return FilePath(fileNameBytes(text));
}

QString FilePath::text() const {
    return fileNameText(m_bytes);
}

} // namespace vexa::base
