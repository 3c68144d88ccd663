#pragma once

#include <cstdint>

class QWidget;

namespace vexa::shell {

// Makes a top-level window translucent: alpha 0 is invisible, 255 opaque. True when the window
// took the value. A window system without a compositor accepts it and still draws the window
// opaque, which is all a splash needs.
// False, and nothing changed, where the platform has no window opacity (Wayland).
bool setWindowAlpha(QWidget* window, std::uint8_t alpha);

// Whether windows can be made translucent on this platform.
bool platformHasWindowOpacity();

} // namespace vexa::shell
