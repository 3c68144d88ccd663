#pragma once

#include <QString>
#include <QStringList>

namespace vexa::app {

// The project files last opened or saved, newest first, kept in [RECENT] of the settings.
inline constexpr int kMaxRecentProjects = 10;

// The list as kept: empty entries and repeats left out, at most ten.
QStringList recentProjects();
// `path` becomes the newest; it moves up when it is there already, and the oldest beyond ten
// falls off. Written at once, all ten keys in one replacement of the file.
void rememberRecentProject(const QString& path);

// The list with `path` first, once, cut to ten.
QStringList withNewest(const QStringList& list, const QString& path);

} // namespace vexa::app
