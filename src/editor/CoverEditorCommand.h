#pragma once

namespace vexa::widgets {
class CoverHost;
}

namespace vexa::editor {

inline constexpr const char* kSelectCoverMessage =
    "Please select a cover by clicking on it and try again!";

// The main window's "Cover Manipulator" command: with no slot clicked yet, the "select a cover"
// popup (not modal); otherwise the Cover Manipulator on the selected slot, modally, returning
// when it closes.
void openCoverEditor(widgets::CoverHost& host);

} // namespace vexa::editor
