#pragma once

// Contrast's row work where its tones lie on an integer line: each pixel's tones worked out
// and put through the spread clamp's first pass in vector registers, with no table.

#include "effects/IntegerLine.h"

#include <cstdint>

namespace vexa::effects {

// Every pixel of the `w` pixels of `row` (in place) whose tones (line.scale x v + line.offset)
// >> line.shift, each within +-2^29, the spread clamp's first pass settles gets its result;
// the others keep their pixel and get a 1 in `unsettled` (a 0 for the settled ones). Returns
// whether there are any.
bool contrastRowFirstPass(std::uint8_t* row, int w, IntegerLine line, std::uint8_t* unsettled);

} // namespace vexa::effects
