// vexa-cli: VEXA's tools for the command line, one subcommand each.

#include "EffectCommand.h"
#include "PrintCommand.h"
#include "PrintableText.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <iterator>

namespace {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

constexpr Command kCommands[] = {
    {"effect", "apply one of the picture editor's effects to a picture file",
     vexa::cli::runEffectCommand},
    {"print", "print pictures as covers, or export them as PDF pages", vexa::cli::runPrintCommand},
};

// Qt and the picture libraries it wraps (libjpeg, libpng, libtiff) report damaged files as
// log messages; vexa-cli says what failed in its own single line instead.
void dropLibraryMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

void printUsage(QTextStream& out) {
    out << "usage: vexa-cli <command> [arguments]\n\ncommands:\n";
    for (const Command& c : kCommands)
        out << QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(c.name), -8).arg(c.summary);
    out << "\n'vexa-cli <command> --help' describes a command.\n";
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropLibraryMessage);
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.isEmpty()) {
        QTextStream err(stderr);
        printUsage(err);
        return 2;
    }
    const QString name = arguments.takeFirst();
    if (name == u"--help" || name == u"-h") {
        QTextStream out(stdout);
        printUsage(out);
        return 0;
    }
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name)) return c.run(arguments);
    QTextStream(stderr) << "vexa-cli: no command '" << vexa::cli::printable(name)
                        << "' (try 'vexa-cli --help')\n";
    return 2;
}
