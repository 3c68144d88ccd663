#pragma once

#include <QString>

namespace vexa {

// The folder of the program's executable. The settings file, the scanner's transfer file,
// the help pages and the notification sound live there.
QString programFolder();

// Joins a file name to the program folder ("<folder>/<name>").
QString programFile(const QString& name);

// Lets a test run the program against a folder of its own. An empty path restores the default.
void setProgramFolderForTesting(const QString& folder);

} // namespace vexa
