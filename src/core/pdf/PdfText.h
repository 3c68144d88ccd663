#pragma once

#include "core/cover/PageContent.h"

#include <QByteArray>

class QPainter;

namespace vexa::pdf {

// The font a page's words are set in, under the name the page's resources give it.
inline constexpr char kPdfTextFont[] = "/VexaSans";

// The font object's body: Helvetica, one of the fonts every PDF reader has, in WinAnsi coding.
QByteArray pdfTextFontObject();

// The operators that set `text` with its baseline starting at (x, y) in PDF page coordinates
// (bottom-left origin), turned as the item says.
QByteArray pdfTextOperators(const cover::PageText& text, double x, double y, const char* font);

// The text as WinAnsi bytes in a PDF string: Latin-1 characters as they are, others as "?",
// "(", ")" and "\" escaped.
QByteArray pdfTextString(const QString& text);

// The same words for the preview, `painter` in page points.
void paintPageText(QPainter& painter, const cover::PageText& text);

} // namespace vexa::pdf
