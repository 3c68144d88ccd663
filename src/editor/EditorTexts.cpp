#include "editor/EditorTexts.h"

#include <algorithm>

namespace vexa::editor {

QString brightnessCaption(int value) {
    return QLatin1String(kEditorCaption) + QLatin1String(" - Brightness Level ->  ") +
           QString::number(value) + QLatin1String("%  <-");
}

QString progressCaption(int percent) {
    return QLatin1String(kEditorCaption) + QLatin1String(" - working ") +
           QString::number(std::clamp(percent, 0, 100)) + QLatin1Char('%');
}

} // namespace vexa::editor
