#include "core/base/CommandLine.h"

#include "core/base/FilePath.h"

#include <QCommandLineParser>

#include <cerrno>
#include <vector>

#include <unistd.h>

namespace vexa::base {

namespace {

// "--front=a.png" as "front"; "-platform" as "platform".
QString optionName(const QString& argument) {
    QString name = argument.mid(argument.startsWith(u"--") ? 2 : 1);
    if (const qsizetype equals = name.indexOf(u'='); equals >= 0) name.truncate(equals);
    return name;
}

// The option as the user typed it, up to any "=": "--fron" rather than Qt's "fron".
QString typedOption(const QStringList& arguments, const QString& name) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--") break;
        if (argument.size() > 1 && argument.startsWith(u'-') && optionName(argument) == name)
            return argument.left(argument.indexOf(u'=') >= 0 ? argument.indexOf(u'=')
                                                             : argument.size());
    }
    return QStringLiteral("--") + name;
}

} // namespace

QStringList argumentsAsText(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc && argv[i]; ++i) arguments << fileNameText(QByteArray(argv[i]));
    return arguments;
}

QString workingFolderText() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return QString(); // gone: relative names stay relative
        buffer.resize(buffer.size() * 2);
    }
    return fileNameText(QByteArray(buffer.data()));
}

std::optional<QString> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments) {
    // One dash or two: "-platform" is Qt's option, and "-h" a name like "--help".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(arguments)) return std::nullopt;

    const QString error = parser.errorText();
    const QString last = arguments.size() > 1 ? arguments.back() : QString();
    if (error == QCommandLineParser::tr("Missing value after '%1'.").arg(last))
        return QStringLiteral("'%1' needs a value").arg(last);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString option = arguments[i].left(arguments[i].indexOf(u'='));
        if (arguments[i].contains(u'=') &&
            error == QCommandLineParser::tr("Unexpected value after '%1'.").arg(option))
            return QStringLiteral("'%1' takes no value").arg(option);
    }
    if (!parser.unknownOptionNames().isEmpty())
        return QStringLiteral("unknown option '%1'")
            .arg(typedOption(arguments, parser.unknownOptionNames().constFirst()));
    QString text = error; // a case this program does not word itself: Qt's sentence
    if (text.endsWith(u'.')) text.chop(1);
    if (!text.isEmpty()) text[0] = text[0].toLower();
    return text;
}

} // namespace vexa::base
