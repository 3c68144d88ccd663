#pragma once

#include <QIcon>

namespace vexa {

// The main window's icons, drawn by code so that the program ships no artwork of others.
enum class ToolbarIcon { PrintCover, CoverManipulator, ReportBug, Help, About, VisitWebsite };

QIcon toolbarIcon(ToolbarIcon which);

// The program's icon: a disc sliding out of its case.
QIcon programIcon();

} // namespace vexa
