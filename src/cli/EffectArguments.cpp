#include "EffectArguments.h"

#include "Effects.h"

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
    EffectArguments parsed;
    if (arguments.size() == 1 && (arguments[0] == u"--list" || arguments[0] == u"--help")) {
        parsed.action = arguments[0] == u"--list" ? EffectArguments::Action::List
                                                  : EffectArguments::Action::Help;
        return parsed;
    }
    QStringList positional;
    std::optional<std::int32_t> parameter;
    bool optionsEnded = false; // after "--" every argument is a name, "--help.png" too
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (optionsEnded) {
            positional << a;
            continue;
        }
        if (a == u"--") {
            optionsEnded = true;
            continue;
        }
        const bool isParam = a == u"--param";
        const bool isColour = a == u"--colour" || a == u"--color";
        if (isParam || isColour) {
            if (parameter) {
                error = QStringLiteral("give the parameter once, with --param or --colour");
                return std::nullopt;
            }
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            const QString& value = arguments[++i];
            parameter = isParam ? parseInt32(value) : parseColour(value);
            if (!parameter) {
                error = isParam ? QStringLiteral("--param needs a whole number from -2147483648 "
                                                 "to 2147483647, not '%1'")
                                      .arg(value)
                                : QStringLiteral("--colour needs R,G,B with each from 0 to 255, "
                                                 "not '%1'")
                                      .arg(value);
                return std::nullopt;
            }
        } else if (a.startsWith(u"--")) {
            error = QStringLiteral("unknown option '%1'").arg(a);
            return std::nullopt;
        } else {
            positional << a;
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
    parsed.input = positional[1];
    parsed.output = positional[2];
    return parsed;
}

} // namespace vexa::cli
