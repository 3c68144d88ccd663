#pragma once

#include "app/PictureLoader.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vexa::app {

// Files handed to VEXA from outside (`vexa FILE...`, or a second start passing them on):
// one file per cover slot, in tab order from the open tab on (from Front when the Scan tab
// is open). Files beyond the last slot are left out.
struct OpenedFilesPlan {
    QList<SlotLoad> loads;
    qsizetype leftOut = 0;
};
OpenedFilesPlan planOpenedFiles(int openTab, const QStringList& files);

// The notice for files left out, e.g. "2 files were left out: there is no cover slot after
// Vita."
QString leftOutNotice(qsizetype leftOut);

// A project file is one whose name ends in ".vexa", in any case.
bool isProjectFile(const QString& path);
// The first project file among `files`; empty when there is none.
QString firstProjectFile(const QStringList& files);
// The notice for the other files handed in with a project, which opens on its own: "1 file
// was left out: a project opens on its own."
QString leftOutBesideProjectNotice(qsizetype leftOut);

// The program's arguments as absolute file paths: "--" is passed over, file:// addresses
// become paths, relative paths are taken from `workingFolder`. Names are text in FilePath's
// mapping, so bytes that are not UTF-8 survive, also as %XX in a file:// address.
QStringList filesFromArguments(const QStringList& arguments, const QString& workingFolder);

} // namespace vexa::app
