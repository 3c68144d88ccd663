// vexa-cli: VEXA's tools for the command line, one subcommand each.

#include "cli/CalibrateCommand.h"
#include "cli/EffectCommand.h"
#include "cli/PrintCommand.h"
#include "core/base/CommandLine.h"
#include "core/base/PrintableText.h"

#include <QCommandLineParser>
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
    {"calibrate", "print a printer's calibration page, or store what was measured on it",
     vexa::cli::runCalibrateCommand},
};

// Qt and the picture libraries it wraps (libjpeg, libpng, libtiff) report damaged files as
// log messages; vexa-cli says what failed in its own single line instead.
void dropLibraryMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

void printUsage(QTextStream& out) {
    out << "usage: vexa-cli <command> [arguments]\n"
           "       vexa-cli --help | --version\n\ncommands:\n";
    for (const Command& c : kCommands)
        out << QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(c.name), -9).arg(c.summary);
    out << "\n'vexa-cli <command> --help' describes a command.\n";
}

int usageError(const QString& message) {
    QTextStream(stderr) << "vexa-cli: " << vexa::base::printable(message)
                        << " (try 'vexa-cli --help')\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropLibraryMessage);
    // The arguments are read from argv's bytes before Qt sees them: a file name that is not
    // UTF-8 reaches the file system as typed.
    const QStringList arguments = vexa::base::argumentsAsText(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption version(QStringList{QStringLiteral("version"), QStringLiteral("v")});
    parser.addOptions({help, version});
    // Everything from the command's name on belongs to the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (const std::optional<QString> problem = vexa::base::parseCommandLine(parser, arguments))
        return usageError(*problem);
    if (parser.isSet(help)) {
        QTextStream out(stdout);
        printUsage(out);
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << "vexa-cli " << VEXA_VERSION << "\n";
        return 0;
    }
    QStringList commandLine = parser.positionalArguments();
    if (commandLine.isEmpty()) {
        QTextStream err(stderr);
        printUsage(err);
        return 2;
    }

    QCoreApplication app(argc, argv);
    const QString name = commandLine.takeFirst();
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name)) return c.run(commandLine);
    return usageError(QStringLiteral("no command '%1'").arg(name));
}
