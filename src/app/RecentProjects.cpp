#include "app/RecentProjects.h"

#include "core/settings/Settings.h"
#include "core/settings/SettingsKeys.h"

#include <QList>

#include <iterator>
#include <utility>

namespace vexa::app {

static_assert(std::size(settings::keys::kRecentProjects) == kMaxRecentProjects);

QStringList withNewest(const QStringList& list, const QString& path) {
    QStringList result;
    if (!path.isEmpty()) result.append(path);
    for (const QString& entry : list) {
        if (result.size() == kMaxRecentProjects) break;
        if (!entry.isEmpty() && !result.contains(entry)) result.append(entry);
    }
    return result;
}

QStringList recentProjects() {
    QStringList kept;
    for (const settings::SettingKey& key : settings::keys::kRecentProjects)
        kept.append(settings::readSetting(key));
    return withNewest(kept, QString());
}

void rememberRecentProject(const QString& path) {
    const QStringList list = withNewest(recentProjects(), path);
    QList<std::pair<settings::SettingKey, QString>> values;
    for (int i = 0; i < kMaxRecentProjects; ++i)
        values.append({settings::keys::kRecentProjects[i], i < list.size() ? list[i] : QString()});
    // Like every setting, a file that cannot be written loses the list silently.
    settings::writeSettings(values);
}

} // namespace vexa::app
