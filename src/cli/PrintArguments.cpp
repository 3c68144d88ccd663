#include "cli/PrintArguments.h"

#include "core/base/CommandLine.h"

#include <QCommandLineParser>

#include <algorithm>

namespace vexa::cli {

using cover::kCoverFormats;

QString coverOption(const cover::CoverFormat& kind) {
    return QStringLiteral("--") + coverArgumentName(kind);
}

QString coverArgumentName(const cover::CoverFormat& kind) {
    return QString::fromLatin1(kind.key).toLower();
}

namespace {

QCommandLineOption valueOption(const QString& dashedName, const QString& valueName) {
    return QCommandLineOption(dashedName.mid(2), QString(), valueName);
}

} // namespace

std::optional<PrintArguments> parsePrintArguments(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption printer = valueOption(QStringLiteral("--printer"), "NAME");
    const QCommandLineOption pdf = valueOption(QStringLiteral("--pdf"), "FILE");
    const QCommandLineOption paper = valueOption(QStringLiteral("--paper"), "PAPER");
    const QCommandLineOption marks(QStringLiteral("marks"));
    const QCommandLineOption noMarks(QStringLiteral("no-marks"));
    const QCommandLineOption bleed = valueOption(QStringLiteral("--bleed"), "MM");
    const QCommandLineOption noCalibration(QStringLiteral("no-calibration"));
    const QCommandLineOption pack(QStringLiteral("pack"));
    const QCommandLineOption noPack(QStringLiteral("no-pack"));
    const QCommandLineOption copies = valueOption(QStringLiteral("--copies"), "N");
    const QCommandLineOption fit = valueOption(QStringLiteral("--fit"), "FIT");
    parser.addOptions({help, printer, pdf, paper, marks, noMarks, bleed, noCalibration, pack,
                       noPack, copies, fit});
    std::vector<QCommandLineOption> covers;
    for (const cover::CoverFormat& kind : kCoverFormats) {
        covers.push_back(valueOption(coverOption(kind), "FILE"));
        parser.addOption(covers.back());
    }
    if (std::optional<QString> problem =
            base::parseCommandLine(parser, QStringList{QStringLiteral("print")} + arguments)) {
        error = *problem;
        return std::nullopt;
    }

    PrintArguments parsed;
    if (parser.isSet(help)) {
        parsed.help = true;
        return parsed;
    }
    // A project file, then the covers to print from it.
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        if (positional[0].isEmpty()) {
            error = QStringLiteral("the project file's name is empty");
            return std::nullopt;
        }
        parsed.project = base::FilePath::fromText(positional[0]);
    }
    for (const QString& name : positional.mid(1)) {
        const auto kind = std::find_if(kCoverFormats.begin(), kCoverFormats.end(),
                                       [&name](const cover::CoverFormat& format) {
                                           return coverArgumentName(format) == name;
                                       });
        if (kind == kCoverFormats.end()) {
            QStringList names;
            for (const cover::CoverFormat& format : kCoverFormats)
                names.append(coverArgumentName(format));
            error = QStringLiteral("no cover is named '%1' (covers: %2)")
                        .arg(name, names.join(QLatin1String(", ")));
            return std::nullopt;
        }
        if (parsed.covers.testFlag(kind->id)) {
            error = QStringLiteral("the %1 cover is named twice").arg(name);
            return std::nullopt;
        }
        parsed.covers |= kind->id;
    }
    // The one value of an option, or an error when it is empty ("--front=") or repeated.
    const auto single = [&](const QCommandLineOption& option, const QString& dashedName,
                            QString& value) {
        const QStringList values = parser.values(option);
        if (values.size() > 1) {
            error = QStringLiteral("'%1' is given twice").arg(dashedName);
            return false;
        }
        if (!values.isEmpty() && values[0].isEmpty()) {
            error = QStringLiteral("'%1' needs a value").arg(dashedName);
            return false;
        }
        value = values.value(0);
        return true;
    };
    QString pdfText;
    QString bleedText;
    QString copiesText;
    QString fitText;
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i) {
        QString file;
        if (!single(covers[i], coverOption(kCoverFormats[i]), file)) return std::nullopt;
        parsed.pictures[i] = base::FilePath::fromText(file);
    }
    if (!single(printer, QStringLiteral("--printer"), parsed.printer) ||
        !single(pdf, QStringLiteral("--pdf"), pdfText) ||
        !single(paper, QStringLiteral("--paper"), parsed.paperText) ||
        !single(bleed, QStringLiteral("--bleed"), bleedText) ||
        !single(copies, QStringLiteral("--copies"), copiesText) ||
        !single(fit, QStringLiteral("--fit"), fitText))
        return std::nullopt;
    if (!fitText.isEmpty()) {
        const std::optional<cover::CoverFit> chosen = cover::fitForKey(fitText);
        if (!chosen) {
            error = QStringLiteral("'--fit' takes stretch, fill or fit, not '%1'").arg(fitText);
            return std::nullopt;
        }
        parsed.fit = *chosen;
    }
    if (parser.isSet(marks) && parser.isSet(noMarks)) {
        error = QStringLiteral("give --marks or --no-marks, not both");
        return std::nullopt;
    }
    parsed.trim.marks = parser.isSet(marks);
    parsed.marksGiven = parser.isSet(marks) || parser.isSet(noMarks);
    parsed.bleedGiven = !bleedText.isEmpty();
    parsed.noCalibration = parser.isSet(noCalibration);
    if (parser.isSet(pack) && parser.isSet(noPack)) {
        error = QStringLiteral("give --pack or --no-pack, not both");
        return std::nullopt;
    }
    parsed.packGiven = parser.isSet(pack) || parser.isSet(noPack);
    parsed.copiesGiven = !copiesText.isEmpty();
    if (parser.isSet(pack)) parsed.sheets.layout = cover::SheetLayout::AsManyAsFit;
    if (!copiesText.isEmpty()) {
        const std::optional<int> count = cover::copiesFromText(copiesText);
        if (!count) {
            error = QStringLiteral("'--copies' takes a whole number from %1 to %2, not '%3'")
                        .arg(cover::kMinCopies)
                        .arg(cover::kMaxCopies)
                        .arg(copiesText);
            return std::nullopt;
        }
        parsed.sheets.copies = *count;
    }
    if (!bleedText.isEmpty()) {
        const std::optional<double> mm = cover::bleedFromText(bleedText);
        if (!mm) {
            error = QStringLiteral("'--bleed' takes 0, 1.5 or 3 (millimetres), not '%1'")
                        .arg(bleedText);
            return std::nullopt;
        }
        parsed.trim.bleedMm = *mm;
    }
    parsed.pdf = base::FilePath::fromText(pdfText);
    if (!parsed.printer.isEmpty() && !parsed.pdf.isEmpty()) {
        error = QStringLiteral("give --printer or --pdf, not both");
        return std::nullopt;
    }
    if (!parsed.paperText.isEmpty()) {
        if (parsed.paperText.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) {
            parsed.paper = cover::PaperChoice::A4;
        } else if (parsed.paperText.compare(QLatin1String("letter"), Qt::CaseInsensitive) != 0) {
            error = QStringLiteral("'--paper' takes letter or a4, not '%1'").arg(parsed.paperText);
            return std::nullopt;
        }
    }
    const bool noPicture = std::all_of(parsed.pictures.begin(), parsed.pictures.end(),
                                       [](const base::FilePath& file) { return file.isEmpty(); });
    if (!parsed.project.isEmpty() && !noPicture) {
        error = QStringLiteral("give a project file or pictures, not both");
        return std::nullopt;
    }
    if (parsed.project.isEmpty() && noPicture) {
        error = QStringLiteral("no cover to print: name a picture, for example --front FILE, "
                               "or a project file");
        return std::nullopt;
    }
    return parsed;
}

} // namespace vexa::cli
