#pragma once

// Contrast's row work where its tones lie on an integer line: each pixel's tones worked out
// and put through the spread clamp's passes in vector registers, with no table.

#include "effects/IntegerLine.h"

#include <cstdint>

namespace vexa::effects {

// Each of the `w` pixels at `from` whose tones (line.scale x v + line.offset) >> line.shift,
// each within +-2^29, the spread clamp settles within `passes` passes gets its result at `to`,
// which does not overlap `from`; the others are copied, and their columns listed in
// `unsettled` (room for `w`). Returns how many there are. `passes` is 1, or up to 8 where every
// tone lies within +-2^16 (see spreadPass).
int contrastRow(const std::uint8_t* from, std::uint8_t* to, int w, IntegerLine line, int passes,
                int* unsettled);

} // namespace vexa::effects
