// A process that does with the user's default printer what `vexa` does, without a window:
// puts the user's lines back when the last run left an undo file, watches SIGTERM, SIGHUP and
// SIGINT, makes a temporary printer the default and, on a signal, puts the start-up default
// back and ends. The tests kill it and start it again.
//
//   default_printer_guard SETTINGS_FOLDER PRINTER   prints "ready" once PRINTER is the default
//   default_printer_guard SETTINGS_FOLDER --recover  only the start-up recovery
#include "DefaultPrinter.h"
#include "DefaultPrinterUndo.h"
#include "ProgramFolder.h"
#include "StartupPrinter.h"
#include "TerminationSignals.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vexa::print;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) return 2;
    vexa::setProgramFolderForTesting(arguments[1]);

    const DefaultPrinterRecovery recovery = recoverDefaultPrinter();
    if (arguments[2] == QLatin1String("--recover"))
        return recovery == DefaultPrinterRecovery::Failed ? 1 : 0;

    vexa::TerminationSignals termination;
    if (!termination.isWatching()) return 3;
    const SavedUserDefault startup = rememberStartupPrinter();
    QObject::connect(&termination, &vexa::TerminationSignals::terminationRequested, [&startup] {
        QCoreApplication::exit(restoreStartupPrinter(startup) ? 0 : 1);
    });
    if (!DefaultPrinter().makeDefault(arguments[2])) return 4;
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
