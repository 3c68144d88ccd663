#pragma once

#include <QString>

#include <optional>

namespace vexa::app {

// The "Tab" setting names a tab only when it is exactly "0" ... "11": no blanks, no sign,
// no leading zero. Anything else selects the first tab.
std::optional<int> tabFromSetting(const QString& value);

} // namespace vexa::app
