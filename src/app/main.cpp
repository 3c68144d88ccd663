#include "app/AppCommandLine.h"
#include "app/DisplayPlatform.h"
#include "app/MainWindow.h"
#include "app/OpenedFiles.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "core/base/CommandLine.h"
#include "core/base/Job.h"
#include "core/base/PrintableText.h"
#include "core/base/ProcessEnd.h"
#include "core/cups/DefaultPrinterUndo.h"
#include "scan/SaneBackend.h"
#include "shell/SplashWindow.h"

#include <QApplication>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

int run(int argc, char** argv) {
    // Read from argv's bytes before QApplication exists: --help and --version need no display,
    // and file names that are not UTF-8 keep their bytes.
    const vexa::app::AppCommandLine commandLine =
        vexa::app::parseAppCommandLine(vexa::base::argumentsAsText(argc, argv));
    switch (commandLine.action) {
    case vexa::app::AppCommandLine::Action::Help:
        std::fputs(vexa::app::appUsage().toUtf8().constData(), stdout);
        return 0;
    case vexa::app::AppCommandLine::Action::Version:
        std::fputs("vexa " VEXA_VERSION "\n", stdout);
        return 0;
    case vexa::app::AppCommandLine::Action::UsageError:
        std::fprintf(stderr, "vexa: %s (try 'vexa --help')\n",
                     vexa::base::printable(commandLine.error).toUtf8().constData());
        return 2;
    case vexa::app::AppCommandLine::Action::Run:
        break;
    }

    // A Wayland desktop that also runs XWayland gets VEXA on X11, where its windows may place
    // themselves; the platform is passed as an argument rather than set in the environment,
    // which the programs VEXA starts (the browser, the mail program) would inherit.
    QByteArray platform = vexa::app::preferredPlatform(vexa::app::DisplaySession::fromEnvironment(),
                                                       commandLine.platformChosen)
                              .toLocal8Bit();
    QByteArray platformOption("-platform");
    std::vector<char*> qtArguments(argv, argv + argc);
    if (!platform.isEmpty() && !qtArguments.empty())
        qtArguments.insert(qtArguments.begin() + 1, {platformOption.data(), platform.data()});
    int qtArgumentCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication app(qtArgumentCount, qtArguments.data());
    QApplication::setApplicationName(QStringLiteral("VEXA 6"));

    // `vexa FILE...`: the files go into the cover slots. With VEXA running already they go
    // to that one, which comes to the front, and this start ends.
    QStringList files =
        vexa::app::filesFromArguments(commandLine.files, vexa::base::workingFolderText());
    const QString socketPath = vexa::app::instanceSocketPath();
    if (vexa::app::handOverToRunningInstance(socketPath, files)) return 0;
    vexa::app::InstanceServer instance;
    // Another VEXA that started at the same moment won the socket: hand over to it after all.
    // Without the socket for any other reason, VEXA still runs, only alone.
    const bool ownsInstance = instance.listen(socketPath);
    if (!ownsInstance && vexa::app::handOverToRunningInstance(socketPath, files)) return 0;
    // The splash comes first; the main window is created when it has faded out.
    std::unique_ptr<vexa::app::MainWindow> window;
    // A logout, a shutdown, Ctrl+C: end as closing the window does, so that running print jobs
    // are cancelled and the user's default printer is back before VEXA is gone. Watched before
    // the recovery below, so that a signal sent while it runs is not lost.
    vexa::app::TerminationSignals termination;
    bool endRequested = false;
    QObject::connect(&termination, &vexa::app::TerminationSignals::terminationRequested,
                     [&window, &endRequested] {
                         endRequested = true;
                         if (window) window->shutDown();
                         // Unconditionally: quit() would leave the choice to the windows, and
                         // the splash or an open notice may refuse to close.
                         QApplication::exit(0);
                     });
    // The last VEXA may have been killed (or crashed) with a temporary printer as the user's
    // default: put the user's own back before this one remembers it as theirs.
    if (ownsInstance) vexa::cups::recoverDefaultPrinter();

    QObject::connect(&instance, &vexa::app::InstanceServer::filesHandedOver,
                     [&window, &files](const QStringList& handed) {
                         if (!window) {
                             files += handed; // still on the splash: opened with our own
                             return;
                         }
                         window->bringToFront();
                         window->openFiles(handed);
                     });
    auto* splash = new vexa::shell::SplashWindow([&window, &files] {
        window = std::make_unique<vexa::app::MainWindow>();
        window->start();
        if (!files.isEmpty()) window->openFiles(files);
    });
    splash->start();
    // A signal that arrived while the splash was set up was answered before the event loop
    // ran, where exit() has nothing to end.
    if (endRequested) return 0;
    const int status = QApplication::exec();
    // Work a window abandoned (a scanner search SANE cannot interrupt) gets a few seconds to
    // end; SANE is ended only when no call is inside it any more.
    vexa::base::Job::waitForAbandonedWork(3000);
    vexa::scan::SaneBackend::shutDownShared();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // Everything of VEXA's own is closed when run returns; see endProcess for why the rest is
    // not left to exit.
    vexa::base::endProcess(run(argc, argv));
}
