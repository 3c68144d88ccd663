#pragma once

#include <cstdint>
#include <optional>

namespace vexa::notify {

// Colour values below zero whose low 31 bits are 0 ... 24 name a desktop colour (button face,
// window text, ...) instead of a colour of their own, as the popup's colour properties accept.
// The colour the current desktop palette gives for such a value (red in the low byte), or
// nothing when the value is an ordinary colour.
std::optional<std::int32_t> systemColour(std::int32_t value);

} // namespace vexa::notify
