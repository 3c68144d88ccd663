#pragma once

#include "core/cover/SheetChoices.h"
#include "core/printing/PrintJob.h"

#include <QString>

#include <vector>

namespace vexa::printing {

// Prints the selected kinds that have a picture, `copies` of each, packed onto as few sheets as
// packSheets finds in the printable area `printer` reports for each paper. Each sheet is one
// document of one page, portrait as the paper feeds, its covers at their exact sizes with the
// bleed and marks of `trim`; a cover too large to share a sheet prints alone, as with one cover
// a page. Tells `progress` each sheet as it starts, and stops after the sheet being sent when
// it says so. Once every sheet is sent the jobs are followed for a few seconds, and only then
// is each sheet's outcome told, in order. Like printSelectedCovers, it touches nothing but its
// arguments.
RunEnd printPackedCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                         CoverPrinter& printer, PrintProgress& progress, cover::PaperChoice paper,
                         int copies, const cover::TrimOptions& trim);

// The chosen covers as `sheets` says: one cover a page (printSelectedCovers, each copy a
// document) or packed (printPackedCovers), with the bleed and marks of `trim`.
RunEnd printCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                   CoverPrinter& printer, PrintProgress& progress, cover::PaperChoice paper,
                   const cover::SheetChoices& sheets, const cover::TrimOptions& trim);

// Covers in words, copies of a kind that follow each other counted: "CD Front, CD Back",
// "6 x CD Mini".
QString coversText(const std::vector<const cover::CoverFormat*>& kinds);
// The covers of a sheet in words (coversText).
QString sheetCoversText(const cover::Sheet& sheet);

// The sentence that tells the user what went wrong with a packed sheet ("Sheet 2 (CD Front, CD
// Back) was not printed: printer alpha has no A4 paper."), or, for a sheet of one cover, what
// coverNotice says of it; empty when there is nothing to tell.
QString sheetNotice(const cover::Sheet& sheet, int number, const DocumentResult& result);

// The status line while a packed sheet is sent ("Printing sheet 2 of 3.") or saved ("Saving
// sheet 2 of 3.").
QString printingSheetMessage(int number, int count);
QString savingSheetMessage(int number, int count);

} // namespace vexa::printing
