#pragma once

// Parameters an effect cannot work with: divisions by zero, and values whose products
// would leave 32 bits on some picture. They are refused before any pixel is touched.

#include <cstdint>
#include <string>

namespace vexa::effects {

// Why effect `effectId` (1..31) refuses `parameter`, in one line; empty when it accepts it.
std::string parameterRefusal(std::int32_t effectId, std::int32_t parameter);

} // namespace vexa::effects
