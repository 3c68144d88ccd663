#pragma once

#include "core/cover/CoverKind.h"

#include <QString>

namespace vexa::printing {

// What "Save as PDF…" proposes and tells, apart from its windows.

// The file it proposes: "covers.pdf" in the folder of the last PDF saved, else in the home
// folder; "covers 2.pdf", "covers 3.pdf", ... when that name is taken.
QString suggestedPdfPath();

// Keeps the folder of a PDF just saved for the next proposal ([PRINT] PdfFolder in the
// settings file).
void rememberPdfFolder(const QString& pdfPath);

// Chosen covers that have no picture and so are not in the file, in a sentence ("The DVD and
// DS covers have no picture and were left out."); empty for none.
QString coversLeftOutText(cover::CoverKinds leftOut);

} // namespace vexa::printing
