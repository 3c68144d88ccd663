#include "MainWindow.h"
#include "OpenedFiles.h"
#include "SingleInstance.h"
#include "SplashWindow.h"

#include <QApplication>
#include <QDir>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VEXA 6"));

    // `vexa FILE...`: the files go into the cover slots. With VEXA running already they go
    // to that one, which comes to the front, and this start ends.
    QStringList files =
        vexa::filesFromArguments(QApplication::arguments().mid(1), QDir::currentPath());
    const QString socketPath = vexa::instanceSocketPath();
    if (vexa::handOverToRunningInstance(socketPath, files)) return 0;
    vexa::InstanceServer instance;
    // Another VEXA that started at the same moment won the socket: hand over to it after all.
    // Without the socket for any other reason, VEXA still runs, only alone.
    if (!instance.listen(socketPath) && vexa::handOverToRunningInstance(socketPath, files))
        return 0;

    // The splash comes first; the main window is created when it has faded out.
    std::unique_ptr<vexa::MainWindow> window;
    QObject::connect(&instance, &vexa::InstanceServer::filesHandedOver,
                     [&window, &files](const QStringList& handed) {
                         if (!window) {
                             files += handed; // still on the splash: opened with our own
                             return;
                         }
                         window->bringToFront();
                         window->openFiles(handed);
                     });
    auto* splash = new vexa::SplashWindow([&window, &files] {
        window = std::make_unique<vexa::MainWindow>();
        window->start();
        if (!files.isEmpty()) window->openFiles(files);
    });
    splash->start();
    return QApplication::exec();
}
