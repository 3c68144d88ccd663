#include "app/AppCommandLine.h"

#include "core/base/CommandLine.h"

#include <QCommandLineParser>

namespace vexa::app {

namespace {

// The options QApplication and its platform plugins take from argv (with one dash or two).
// Named here so that neither they nor their values are taken for files or mistakes.
constexpr const char* kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin",      "qwindowgeometry",
    "geometry", "qwindowtitle",       "title",         "qwindowicon", "icon",
    "style",    "stylesheet",         "session",       "display",     "name",
    "visual",   "qmljsdebugger",
};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb",
                                    "dograb",  "sync",        "testability"};

QCommandLineOption hidden(QCommandLineOption option) {
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

} // namespace

AppCommandLine parseAppCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption version(QStringList{QStringLiteral("version"), QStringLiteral("v")});
    parser.addOptions({help, version});
    for (const char* name : kQtOptionsWithValue)
        parser.addOption(
            hidden(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("V"))));
    for (const char* name : kQtFlags)
        parser.addOption(hidden(QCommandLineOption(QString::fromLatin1(name))));

    AppCommandLine parsed;
    if (const std::optional<QString> problem = base::parseCommandLine(parser, arguments)) {
        parsed.action = AppCommandLine::Action::UsageError;
        parsed.error = *problem;
    } else if (parser.isSet(help)) {
        parsed.action = AppCommandLine::Action::Help;
    } else if (parser.isSet(version)) {
        parsed.action = AppCommandLine::Action::Version;
    } else {
        parsed.files = parser.positionalArguments();
        parsed.platformChosen = parser.isSet(QStringLiteral("platform"));
    }
    return parsed;
}

QString appUsage() {
    return QStringLiteral(
        "usage: vexa [FILE...]\n"
        "       vexa --help | --version\n"
        "Starts VEXA. Each FILE (a path or a file:// address) goes into a cover slot, one\n"
        "each in tab order from the open tab on. While VEXA runs already, the files go to\n"
        "that one, which comes to the front, and this start ends. After -- every argument\n"
        "is a file, so a file may start with -. A project file (NAME.vexa) opens as the\n"
        "whole set of covers instead.\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show VEXA's version and exit\n"
        "\n"
        "Qt's own options such as -platform NAME, -style NAME or -reverse work as in any\n"
        "Qt program.\n");
}

} // namespace vexa::app
