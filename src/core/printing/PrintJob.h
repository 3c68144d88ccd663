#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cover/CoverSet.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/SheetPacking.h"
#include "core/printing/CoverPrinter.h"

namespace vexa::printing {

// What a print run tells its caller and asks of it between covers.
class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    // Before anything of the kind is sent.
    virtual void coverStarted(const cover::CoverFormat& kind) = 0;
    // `result.sent` is false when the cover produced no document (an empty slot, or a
    // printer that refused it: then `result.refused` says why).
    virtual void coverFinished(const cover::CoverFormat& kind, const DocumentResult& result) = 0;
    // After each cover or packed sheet: false ends the run (the user asked to stop).
    virtual bool continueAfterCover() = 0;
    // Before a packed sheet is sent: its number, 1 ... count.
    virtual void sheetStarted(const cover::Sheet& sheet, int number, int count) {
        static_cast<void>(sheet);
        static_cast<void>(number);
        static_cast<void>(count);
    }
    // What became of a packed sheet, told as coverFinished tells a cover's.
    virtual void sheetFinished(const cover::Sheet& sheet, int number,
                               const DocumentResult& result) {
        static_cast<void>(sheet);
        static_cast<void>(number);
        static_cast<void>(result);
    }
    // While the run waits to see what became of the jobs sent: false ends the wait.
    virtual bool keepFollowingJobs() { return true; }
};

enum class RunEnd { Finished, Stopped };

// Prints every selected kind in table order, each copy as one document of one page: the
// kind's paper (or A4 for every kind) and orientation, the kind's picture taking the kind's
// shape as its framing says (see fitPicture), at the kind's size at the printable area's
// top-left, and Letter paper again after a Legal kind.
// A failed step does not end the run. The selection is read as the run reaches each kind.
// Once every kind is sent, the printer follows the jobs for a few seconds, and only then is
// each cover's outcome told, in table order, so that a job turned down after it was taken is
// not told as sent.
// It touches nothing but its arguments, so it may run on a worker thread over a selection,
// pictures and a printer that nothing else uses meanwhile.
RunEnd printSelectedCovers(const cover::CoverKinds& selection, const cover::CoverRecords& pictures,
                           CoverPrinter& printer, PrintProgress& progress,
                           cover::PaperChoice paper = cover::PaperChoice::LetterLegal,
                           int copies = 1);

// The sentence that tells the user what went wrong with a cover, or what the printer's
// margins cut off it; empty when there is nothing to tell.
QString coverNotice(const cover::CoverFormat& kind, const DocumentResult& result);

// The sentence that says a paused printer holds the covers (`result.heldBy`); empty when none
// does.
QString heldNotice(const DocumentResult& result);

// What the printer's margins cut off the cover, as a sentence (`cut` from marginCut); empty
// when nothing is cut.
QString marginCutNotice(const cover::CoverFormat& kind, const QString& cut);

} // namespace vexa::printing
