#include "cli/EffectArguments.h"

#include "core/base/CommandLine.h"
#include "effects/Effects.h"

#include <QCommandLineParser>

namespace vexa::cli {

namespace {

QString simplified(const QString& text) {
    QString letters;
    for (const QChar c : text)
        if (c.isLetterOrNumber()) letters += c.toLower();
    return letters;
}

std::optional<std::int32_t> parseInt32(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// "R,G,B" with each part 0..255, packed as red + 256 x green + 65536 x blue.
std::optional<std::int32_t> parseColour(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 3) return std::nullopt;
    std::int32_t packed = 0;
    for (int i = 0; i < 3; ++i) {
        const std::optional<std::int32_t> v = parseInt32(parts[i].trimmed());
        if (!v || *v < 0 || *v > 255) return std::nullopt;
        packed |= *v << (8 * i);
    }
    return packed;
}

} // namespace

std::optional<std::int32_t> findEffect(const QString& idOrName) {
    const std::optional<std::int32_t> id = parseInt32(idOrName);
    const QString wanted = simplified(idOrName);
    for (const effects::EffectInfo& info : effects::effectTable()) {
        if (id ? *id == info.id : wanted == simplified(QString::fromUtf8(info.name)))
            return info.id;
    }
    return std::nullopt;
}

std::optional<EffectArguments> parseEffectArguments(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    const QCommandLineOption param(QStringLiteral("param"), QString(), QStringLiteral("N"));
    const QCommandLineOption colour(QStringList{QStringLiteral("colour"), QStringLiteral("color")},
                                    QString(), QStringLiteral("R,G,B"));
    const QCommandLineOption list(QStringLiteral("list"));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    parser.addOptions({param, colour, list, help});
    if (std::optional<QString> problem =
            base::parseCommandLine(parser, QStringList{QStringLiteral("effect")} + arguments)) {
        error = *problem;
        return std::nullopt;
    }

    EffectArguments parsed;
    const QStringList positional = parser.positionalArguments();
    const QStringList params = parser.values(param);
    const QStringList colours = parser.values(colour);
    if (parser.isSet(help)) {
        parsed.action = EffectArguments::Action::Help;
        return parsed;
    }
    if (parser.isSet(list)) {
        if (!positional.isEmpty() || !params.isEmpty() || !colours.isEmpty()) {
            error = QStringLiteral("--list takes no other arguments");
            return std::nullopt;
        }
        parsed.action = EffectArguments::Action::List;
        return parsed;
    }
    if (params.size() + colours.size() > 1) {
        error = QStringLiteral("give the parameter once, with --param or --colour");
        return std::nullopt;
    }
    std::optional<std::int32_t> parameter;
    if (!params.isEmpty()) {
        parameter = parseInt32(params[0]);
        if (!parameter) {
            error = QStringLiteral("--param needs a whole number from -2147483648 to 2147483647, "
                                   "not '%1'")
                        .arg(params[0]);
            return std::nullopt;
        }
    } else if (!colours.isEmpty()) {
        parameter = parseColour(colours[0]);
        if (!parameter) {
            error = QStringLiteral("--colour needs R,G,B with each from 0 to 255, not '%1'")
                        .arg(colours[0]);
            return std::nullopt;
        }
    }
    if (positional.size() != 3) {
        error = QStringLiteral("expected an effect, an input file and an output file");
        return std::nullopt;
    }
    const std::optional<std::int32_t> id = findEffect(positional[0]);
    if (!id) {
        error = QStringLiteral("no effect '%1'; 'vexa-cli effect --list' shows them")
                    .arg(positional[0]);
        return std::nullopt;
    }
    parsed.effectId = *id;
    parsed.parameter =
        parameter ? *parameter : effects::effectTable()[std::size_t(*id - 1)].usualParameter;
    parsed.input = base::FilePath::fromText(positional[1]);
    parsed.output = base::FilePath::fromText(positional[2]);
    return parsed;
}

} // namespace vexa::cli
