#pragma once

// Contrast's row work where its tones lie on an integer line: each pixel's tones worked out
// and put through the spread clamp's first pass in vector registers, with no table.

#include "effects/IntegerLine.h"

#include <cstdint>

namespace vexa::effects {

// Each of the `w` pixels at `from` whose tones (line.scale x v + line.offset) >> line.shift,
// each within +-2^29, the spread clamp's first pass settles gets its result at `to`, which
// does not overlap `from`; the others are copied and get a 1 in `unsettled` (a 0 for the
// settled ones). Returns whether there are any.
bool contrastRowFirstPass(const std::uint8_t* from, std::uint8_t* to, int w, IntegerLine line,
                          std::uint8_t* unsettled);

} // namespace vexa::effects
