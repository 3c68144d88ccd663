#pragma once

#include "CoverFormats.h"

#include <array>
#include <cstdint>

namespace vexa {
class CoverHost;
}

namespace vexa::print {

class CoverPrinter;

// One print flag per kind in table order: 0 not selected, -1 selected.
using PrintFlags = std::array<std::int32_t, kCoverKindCount>;
inline constexpr std::int32_t kSelected = -1;

// What a print run tells its caller and asks of it between covers.
class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    // Before anything of the kind is sent.
    virtual void coverStarted(const CoverFormat& kind) = 0;
    // `printed` is false when the cover produced no document (an empty slot, a printer
    // that refused it).
    virtual void coverFinished(const CoverFormat& kind, bool printed) = 0;
    // After each cover: lets the user interface process its events. False ends the run.
    virtual bool continueAfterCover() = 0;
};

enum class RunEnd { Finished, Stopped };

// Prints every selected kind in table order, each as one document of one page: the kind's
// paper and orientation, the slot's whole picture stretched to the kind's size at the
// printable area's top-left, and Letter paper again after a Legal kind. A failed step does
// not end the run. The flags are read as the run reaches each kind, so a toggle made while
// the run processes events counts for the kinds still ahead.
RunEnd printSelectedCovers(const PrintFlags& flags, const CoverHost& host, CoverPrinter& printer,
                           PrintProgress& progress);

} // namespace vexa::print
