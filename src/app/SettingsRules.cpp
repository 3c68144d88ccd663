#include "SettingsRules.h"

#include "SlotTable.h"

namespace vexa {

std::optional<int> tabFromSetting(const QString& value) {
    for (int tab = 0; tab < kTabCount; ++tab)
        if (value == QString::number(tab)) return tab;
    return std::nullopt;
}

} // namespace vexa
