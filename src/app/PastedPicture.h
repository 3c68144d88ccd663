#pragma once

#include "app/PictureLoader.h"

#include <optional>

class QMimeData;

namespace vexa::app {

// What Ctrl+V can put into a slot: a picture on the clipboard (copied from a browser or an
// image program), else picture files copied in a file manager, of which the last readable
// one wins as with a drop. Nothing when the clipboard holds neither.
std::optional<SlotLoad> pastedPicture(cover::CoverKind kind, const QMimeData* data);

} // namespace vexa::app
