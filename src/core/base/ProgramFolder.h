#pragma once

#include <QString>

namespace vexa::base {

// The folder of the program's executable.
QString programFolder();

// Joins a file name to the program folder ("<folder>/<name>").
QString programFile(const QString& name);

// True for an installed copy: the executable sits in a "bin" folder with "../share/vexa"
// beside it. The build folder and an unpacked copy keep everything in the program folder.
bool isInstalledCopy();

// Where the help pages and the notification sound are read from: "../share/vexa/<name>"
// for an installed copy, the program folder otherwise.
QString sharedDataFile(const QString& name);

// The user's configuration folder for VEXA: "$XDG_CONFIG_HOME/vexa" when that variable
// holds an absolute path, else "~/.config/vexa". Not created here.
QString configFolder();

// The user's folder for what VEXA keeps between runs that is neither setting nor document
// (the recovery copy of unsaved covers): "$XDG_STATE_HOME/vexa" when that variable holds an
// absolute path, else "~/.local/state/vexa". Not created here.
QString stateFolder();

// Creates the folder and any missing parents with mode 0700, as the base directory rules ask
// for folders a program makes in the user's trees. True when the folder is there.
bool makePrivateFolder(const QString& folder);

// The folder that holds the settings file. An installed copy always uses configFolder()
// (even for root, who could write to the program folder); other copies use the program
// folder while it is writable and configFolder() when it is not. The configuration folder
// is created (mode 0700) when it is chosen and missing, so that the first write succeeds.
QString settingsFolder();

// Lets a test run the program against a folder of its own. An empty path restores the default.
void setProgramFolderForTesting(const QString& folder);

} // namespace vexa::base
