#pragma once

#include "core/cover/CoverFormats.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>

namespace vexa::cover {

// The papers covers go on: the papers of the cover table (Letter, Legal for the long kinds),
// or A4 for every kind. Cover sizes are the same on either.
enum class PaperChoice { LetterLegal, A4 };

// "A4" in any case selects A4; any other text, or none, means the cover table's papers.
PaperChoice paperChoiceFromText(const QString& text);
// The text kept in the settings file: "Letter" or "A4".
QString paperChoiceText(PaperChoice choice);

// The paper a kind prints on under the choice.
Paper paperFor(const CoverFormat& kind, PaperChoice choice);

// The orientation as Qt's page layout names it.
QPageLayout::Orientation pageOrientation(Orientation orientation);

// The paper as Qt's page size.
QPageSize pageSizeForPaper(Paper paper);
// The paper's name for messages: "Letter", "Legal", "A4".
QString paperName(Paper paper);
// The paper's name in IPP (PWG 5101.1), as CUPS knows it.
const char* pwgMediaName(Paper paper);

// [PRINT] Paper in the settings file.
PaperChoice rememberedPaper();
void rememberPaper(PaperChoice choice);

} // namespace vexa::cover
