#pragma once

// The command line of `vexa`: [Qt's options] [FILE...], --help, --version. Read before the
// application object exists, so that --help and --version need no display.

#include <QString>
#include <QStringList>

namespace vexa::app {

struct AppCommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QStringList files;           // as typed, in FilePath's text mapping; "--" ends the options
    QString error;               // for UsageError: one line
    bool platformChosen = false; // -platform NAME given
};

// `arguments` as argumentsAsText gives them, the program's name first. Qt's own options
// (-platform NAME, -style NAME, -reverse, ...) are passed over here: QApplication reads them.
AppCommandLine parseAppCommandLine(const QStringList& arguments);

// What `vexa --help` prints.
QString appUsage();

} // namespace vexa::app
