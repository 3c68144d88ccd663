#pragma once

#include "core/cover/CoverKind.h"

#include <QString>

namespace vexa::widgets {
class CoverHost;
}

namespace vexa::editor {

inline constexpr const char* kSelectCoverMessage =
    "Please select a cover by clicking on it and try again!";

// What Ctrl+E says on a cover with no picture: "The DVD cover has no picture yet. Click a
// picture file on the right to put it there."
QString emptyCoverMessage(cover::CoverKind kind);

// The main window's "Cover Manipulator" command: with no slot clicked yet, the "select a cover"
// popup (not modal); otherwise the Cover Manipulator on the selected slot, modally, returning
// when it closes.
void openCoverEditor(widgets::CoverHost& host);

} // namespace vexa::editor
