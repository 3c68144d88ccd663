#pragma once

#include <QString>

namespace vexa::editor {

inline constexpr const char* kEditorCaption = "Cover Manipulator";

// The caption while the brightness scroll bar is moved: the value with its sign, "0" for zero.
QString brightnessCaption(int value);

// The caption while an effect runs.
QString progressCaption(int percent);

} // namespace vexa::editor
