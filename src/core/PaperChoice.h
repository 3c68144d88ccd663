#pragma once

#include "CoverFormats.h"

#include <QPageSize>
#include <QString>

namespace vexa::print {

// The papers covers go on: the papers of the cover table (Letter, Legal for the long kinds),
// or A4 for every kind. Cover sizes are the same on either.
enum class PaperChoice { LetterLegal, A4 };

// "A4" in any case selects A4; any other text, or none, means the cover table's papers.
PaperChoice paperChoiceFromText(const QString& text);
// The text kept in the settings file: "Letter" or "A4".
QString paperChoiceText(PaperChoice choice);

// The paper code a kind prints on under the choice.
int paperFor(const CoverFormat& kind, PaperChoice choice);

// kPaperLetter, kPaperLegal, kPaperA4 as Qt's page size (an invalid size for another code).
QPageSize pageSizeForPaper(int code);
// The paper's name for messages: "Letter", "Legal", "A4".
QString paperName(int code);
// The paper's name in IPP (PWG 5101.1), as CUPS knows it.
const char* pwgMediaName(int code);

// [PRINT] Paper in the settings file.
PaperChoice rememberedPaper();
void rememberPaper(PaperChoice choice);

} // namespace vexa::print
