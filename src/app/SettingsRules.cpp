#include "app/SettingsRules.h"

#include "app/SlotTable.h"

namespace vexa::app {

std::optional<int> tabFromSetting(const QString& value) {
    for (int tab = 0; tab < kTabCount; ++tab)
        if (value == QString::number(tab)) return tab;
    return std::nullopt;
}

} // namespace vexa::app
