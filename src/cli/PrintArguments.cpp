#include "PrintArguments.h"

#include <algorithm>

namespace vexa::cli {

using print::kCoverFormats;

QString coverOption(const print::CoverFormat& kind) {
    return QStringLiteral("--") + QString::fromLatin1(kind.key).toLower();
}

namespace {

// The value slot an option fills, or nullptr for an unknown option.
QString* valueFor(const QString& option, PrintArguments& parsed) {
    if (option == u"--printer") return &parsed.printer;
    if (option == u"--pdf") return &parsed.pdf;
    if (option == u"--paper") return &parsed.paperText;
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i) {
        if (option == coverOption(kCoverFormats[i])) return &parsed.pictures[i];
    }
    return nullptr;
}

} // namespace

std::optional<PrintArguments> parsePrintArguments(const QStringList& arguments, QString& error) {
    PrintArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments[i];
        if (option == u"--") { // ends the options; every file is named by one of them
            if (i + 1 < arguments.size()) {
                error = QStringLiteral("unexpected argument '%1'").arg(arguments[i + 1]);
                return std::nullopt;
            }
            break;
        }
        if (option == u"--help" || option == u"-h") {
            parsed.help = true;
            return parsed;
        }
        if (!option.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unexpected argument '%1'").arg(option);
            return std::nullopt;
        }
        // Both "--front FILE" and "--front=FILE".
        QString value;
        bool haveValue = false;
        if (const qsizetype equals = option.indexOf(QLatin1Char('=')); equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
            haveValue = true;
        }
        QString* slot = valueFor(option, parsed);
        if (!slot) {
            error = QStringLiteral("unknown option '%1'").arg(option);
            return std::nullopt;
        }
        if (!haveValue && i + 1 < arguments.size()) {
            value = arguments[++i];
            haveValue = true;
        }
        if (!haveValue || value.isEmpty()) {
            error = QStringLiteral("'%1' needs a value").arg(option);
            return std::nullopt;
        }
        if (!slot->isEmpty()) {
            error = QStringLiteral("'%1' is given twice").arg(option);
            return std::nullopt;
        }
        *slot = value;
    }
    if (!parsed.printer.isEmpty() && !parsed.pdf.isEmpty()) {
        error = QStringLiteral("give --printer or --pdf, not both");
        return std::nullopt;
    }
    if (!parsed.paperText.isEmpty()) {
        if (parsed.paperText.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) {
            parsed.paper = print::PaperChoice::A4;
        } else if (parsed.paperText.compare(QLatin1String("letter"), Qt::CaseInsensitive) != 0) {
            error = QStringLiteral("'--paper' takes letter or a4, not '%1'").arg(parsed.paperText);
            return std::nullopt;
        }
    }
    if (std::all_of(parsed.pictures.begin(), parsed.pictures.end(),
                    [](const QString& file) { return file.isEmpty(); })) {
        error = QStringLiteral("no cover to print: name a picture, for example --front FILE");
        return std::nullopt;
    }
    return parsed;
}

} // namespace vexa::cli
