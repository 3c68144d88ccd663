#pragma once

#include "core/cover/CoverFit.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/PageContent.h"
#include "core/cover/SheetPacking.h"
#include "core/cover/TrimOptions.h"
#include "core/cups/PrintFailure.h"
#include "core/picture/PictureFile.h"

#include <QString>

#include <functional>
#include <span>

namespace vexa::printing {

// What became of one document when it was ended.
struct DocumentResult {
    bool sent = false;
    // Why a cover that was to go out did not ("printer beta has no A4 paper"); empty when
    // nothing was drawn, which is no fault.
    QString refused;
    // What the printer's margins cut off the cover ("12.7 mm on the right"); empty when the
    // whole cover fits the printable area.
    QString cut;
    // The sides where the paper had less room than the bleed and marks want ("2.7 mm on the
    // right"); empty when every side had its room or both are off.
    QString shortfall;
    // Why the printer's stored calibration was not applied (a line in the settings file that
    // cannot be used); empty otherwise.
    QString calibrationProblem;
    // The paused printer that holds the document's job in its queue; empty when none does.
    QString heldBy;
    // The print server's id of the document's job; 0 when none was sent.
    int job = 0;
};

// What the print job needs of a printer. Every operation reports failure through its result
// and leaves the printer usable for the next one, so a run can go on past a failed cover.
class CoverPrinter {
public:
    virtual ~CoverPrinter() = default;

    // Sends every later document to the printer that is the system default when that
    // document starts. False when there is no printer to send anything to.
    virtual bool followDefault() = 0;
    // Why the last followDefault() found no printer.
    virtual cups::PrintFailure noPrinterFailure() const { return cups::PrintFailure::NoPrinter; }

    // They apply to the next document. False when the printer cannot take them.
    virtual bool setOrientation(cover::Orientation orientation) = 0;
    virtual bool setPaperSize(cover::Paper paper) = 0;
    // The kind of cover the next document holds, for what goes around it (fold marks).
    virtual void setCoverKind(const cover::CoverFormat& kind) { static_cast<void>(kind); }
    // Cut and fold marks and bleed around every later cover; off unless set.
    virtual void setTrimOptions(const cover::TrimOptions& options) { static_cast<void>(options); }
    // How the next cover's picture takes its shape (fit and crop); Stretch unless set.
    virtual void setFraming(const cover::Framing& framing) { static_cast<void>(framing); }

    // Draws the picture into the rectangle as the framing says (origin at the top-left of the
    // printable area of the page as oriented), opaque. The first drawing of a document starts
    // the document. False for an empty picture or when no document could be started.
    virtual bool drawPicture(const picture::LoadedPicture& picture, base::Twips x, base::Twips y,
                             base::Twips width, base::Twips height) = 0;

    // Where covers packed onto sheets of `paper` may go on the printer the next document goes
    // to: the printable area of the paper as it feeds, and how the printer turns landscape
    // pages. Asked before the sheets are packed.
    virtual cover::SheetArea sheetArea(cover::Paper paper) = 0;
    // Draws a whole page as the paper feeds (portrait) on the paper set: a packed sheet, its
    // covers where packing put them. The document is portrait whatever orientation was set.
    // The first drawing of a document starts the document. False when none could be started.
    virtual bool drawSheet(const cover::PageContent& sheet) = 0;

    // Finishes the current document and hands it on. With nothing drawn since the last end
    // there is no document: no blank page, and nothing is sent.
    virtual DocumentResult endDocument() = 0;

    // Follows the jobs of `results` (documents this printer ended) for a few seconds at most,
    // and turns each job that failed meanwhile into a refusal with the reason, or marks it held
    // by its printer. `keepGoing` is asked while it waits; false ends the wait. Printers whose
    // documents are complete when ended have nothing to follow.
    virtual void followJobs(std::span<DocumentResult> results,
                            const std::function<bool()>& keepGoing) {
        static_cast<void>(results);
        static_cast<void>(keepGoing);
    }
};

} // namespace vexa::printing
