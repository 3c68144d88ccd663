#pragma once

#include <QIcon>

namespace vexa::editor {

// The Cover Manipulator's toolbar icons, 32 x 32, drawn by code.
enum class ToolIcon { Rotate, Mirror, Flip, Brightness, Undo };

QIcon toolIcon(ToolIcon which);

} // namespace vexa::editor
