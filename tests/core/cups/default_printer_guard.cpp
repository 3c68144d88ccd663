// A process that does with the user's default printer what `vexa` does, without a window:
// puts the user's lines back when the last run left an undo file, watches SIGTERM, SIGHUP and
// SIGINT, makes a temporary printer the default and, on a signal, puts the start-up default
// back and ends. The tests kill it and start it again.
//
//   default_printer_guard SETTINGS_FOLDER PRINTER   prints "ready" once PRINTER is the default
//   default_printer_guard SETTINGS_FOLDER --recover  only the start-up recovery
#include "app/TerminationSignals.h"
#include "core/base/ProgramFolder.h"
#include "core/cups/DefaultPrinter.h"
#include "core/cups/DefaultPrinterUndo.h"
#include "core/cups/StartupPrinter.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vexa;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) return 2;
    vexa::base::setProgramFolderForTesting(arguments[1]);

    const cups::DefaultPrinterRecovery recovery = cups::recoverDefaultPrinter();
    if (arguments[2] == QLatin1String("--recover"))
        return recovery == cups::DefaultPrinterRecovery::Failed ? 1 : 0;

    vexa::app::TerminationSignals termination;
    if (!termination.isWatching()) return 3;
    const cups::SavedUserDefault startup = cups::rememberStartupPrinter();
    QObject::connect(
        &termination, &vexa::app::TerminationSignals::terminationRequested,
        [&startup] { QCoreApplication::exit(cups::restoreStartupPrinter(startup) ? 0 : 1); });
    if (!cups::DefaultPrinter().makeDefault(arguments[2])) return 4;
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
