#include "cli/CalibrateArguments.h"

#include "core/base/CommandLine.h"
#include "core/cover/CoverFormats.h"

#include <QCommandLineParser>

namespace vexa::cli {

std::optional<CalibrateArguments> parseCalibrateArguments(const QStringList& arguments,
                                                          QString& error) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption printer(QStringLiteral("printer"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption paper(QStringLiteral("paper"), QString(), QStringLiteral("PAPER"));
    const QCommandLineOption set(QStringLiteral("set"));
    const QCommandLineOption reset(QStringLiteral("reset"));
    parser.addOptions({help, printer, paper, set, reset});
    if (std::optional<QString> problem =
            base::parseCommandLine(parser, QStringList{QStringLiteral("calibrate")} + arguments)) {
        error = *problem;
        return std::nullopt;
    }

    CalibrateArguments parsed;
    if (parser.isSet(help)) {
        parsed.help = true;
        return parsed;
    }
    for (const auto& [option, name] : {std::pair{&printer, "--printer"}, {&paper, "--paper"}}) {
        const QStringList values = parser.values(*option);
        if (values.size() > 1) {
            error = QStringLiteral("'%1' is given twice").arg(QLatin1String(name));
            return std::nullopt;
        }
        if (!values.isEmpty() && values[0].isEmpty()) {
            error = QStringLiteral("'%1' needs a value").arg(QLatin1String(name));
            return std::nullopt;
        }
    }
    parsed.printer = parser.value(printer);

    const QString paperText = parser.value(paper).toLower();
    if (paperText.isEmpty() || paperText == QLatin1String("letter")) {
        parsed.paper = cover::Paper::Letter;
    } else if (paperText == QLatin1String("legal")) {
        parsed.paper = cover::Paper::Legal;
    } else if (paperText == QLatin1String("a4")) {
        parsed.paper = cover::Paper::A4;
    } else {
        error = QStringLiteral("'--paper' takes letter, legal or a4, not '%1'")
                    .arg(parser.value(paper));
        return std::nullopt;
    }

    if (parser.isSet(set) && parser.isSet(reset)) {
        error = QStringLiteral("give --set or --reset, not both");
        return std::nullopt;
    }
    const QStringList figures = parser.positionalArguments();
    if (parser.isSet(set)) {
        if (figures.size() != 4) {
            error = QStringLiteral("'--set' takes four figures in millimetres: LEFT TOP ACROSS "
                                   "DOWN, as measured on the calibration page");
            return std::nullopt;
        }
        parsed.action = CalibrateArguments::Action::Set;
        for (int i = 0; i < 4; ++i) parsed.figures[static_cast<std::size_t>(i)] = figures[i];
        return parsed;
    }
    if (!figures.isEmpty()) {
        error = QStringLiteral("unexpected argument '%1'").arg(figures[0]);
        return std::nullopt;
    }
    if (parser.isSet(reset)) parsed.action = CalibrateArguments::Action::Reset;
    return parsed;
}

} // namespace vexa::cli
