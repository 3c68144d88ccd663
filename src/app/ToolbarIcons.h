#pragma once

#include <QIcon>

namespace vexa::app {

// The toolbar's icons, drawn by code so that the program ships no artwork of others.
enum class ToolbarIcon { PrintCover, CoverManipulator, ReportBug, Help, About, VisitWebsite };

QIcon toolbarIcon(ToolbarIcon which);

} // namespace vexa::app
