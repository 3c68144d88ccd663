#pragma once

#include "core/cover/CoverKind.h"

namespace vexa::print {

// Which covers Print Covers has chosen, as kept in [MAIN] (one key per kind, "-1" chosen).
// Read onto `current`: an unreadable Front leaves nothing chosen; Front's "-1" chooses it and
// any other number leaves it off; every other kind's "-1" turns that kind over.
cover::CoverKinds rememberedSelection(cover::CoverKinds current = {});
// Writes all eleven flags, in table order, in one replacement of the file.
void rememberSelection(cover::CoverKinds selection);

} // namespace vexa::print
