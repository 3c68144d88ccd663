#include "core/pdf/PdfText.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace vexa::pdf {

namespace {

// The text's baseline direction and its up direction, in PDF coordinates (y up).
struct Axes {
    int a, b, c, d;
};

Axes axesFor(cover::QuarterTurn turn) {
    switch (turn) {
    case cover::QuarterTurn::CounterClockwise:
        return {0, 1, -1, 0};
    case cover::QuarterTurn::Clockwise:
        return {0, -1, 1, 0};
    case cover::QuarterTurn::Half:
        return {-1, 0, 0, -1};
    case cover::QuarterTurn::None:
        break;
    }
    return {1, 0, 0, 1};
}

QByteArray number(double value) {
    if (!std::isfinite(value)) value = 0;
    QByteArray text = QByteArray::number(value, 'f', 3);
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
    return text == "-0" ? QByteArray("0") : text;
}

} // namespace

QByteArray pdfTextFontObject() {
    return QByteArrayLiteral("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding "
                             "/WinAnsiEncoding >>\nendobj\n");
}

QByteArray pdfTextString(const QString& text) {
    QByteArray out = "(";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // WinAnsi agrees with Latin-1 on these; 0x80 ... 0x9F differ and are left out.
        const bool plain = (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF);
        const char byte = plain ? static_cast<char>(u) : '?';
        if (byte == '(' || byte == ')' || byte == '\\') out += '\\';
        out += byte;
    }
    return out + ')';
}

QByteArray pdfTextOperators(const cover::PageText& text, double x, double y, const char* font) {
    const Axes m = axesFor(text.turn);
    return "q 0 g BT " + QByteArray(font) + ' ' + number(text.size) + " Tf " +
           QByteArray::number(m.a) + ' ' + QByteArray::number(m.b) + ' ' + QByteArray::number(m.c) +
           ' ' + QByteArray::number(m.d) + ' ' + number(x) + ' ' + number(y) + " Tm " +
           pdfTextString(text.text) + " Tj ET Q\n";
}

void paintPageText(QPainter& painter, const cover::PageText& text) {
    // Drawn as outlines at a large size and scaled down, so the words keep their size in
    // points whatever the device's resolution.
    constexpr int kOutlineSize = 100;
    QFont font(QStringLiteral("Helvetica"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kOutlineSize);
    QPainterPath path;
    path.addText(0, 0, font, text.text);
    painter.save();
    painter.translate(text.origin);
    const Axes m = axesFor(text.turn);
    // PDF's y axis points up, the painter's down.
    painter.setWorldTransform(QTransform(m.a, -m.b, -m.c, m.d, 0, 0), true);
    painter.scale(text.size / kOutlineSize, text.size / kOutlineSize);
    painter.fillPath(path, Qt::black);
    painter.restore();
}

} // namespace vexa::pdf
