#include "core/cover/CalibrationStore.h"

#include "core/cover/PaperChoice.h"

#include "core/settings/ProfileFile.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsKeys.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace vexa::cover {

namespace {

const QString kSection = QLatin1String(settings::keys::kCalibration);

bool needsEscape(char32_t c) {
    static const QString kSpecial = QStringLiteral("%/=[];#\"'");
    return c < 0x21 || c == 0x7F || QChar::isSpace(c) || kSpecial.contains(QChar(c));
}

QString escapedName(const QString& name) {
    QString out;
    for (const char32_t c : name.toUcs4()) {
        if (!needsEscape(c)) {
            out += QString::fromUcs4(&c, 1);
            continue;
        }
        for (const char byte : QString::fromUcs4(&c, 1).toUtf8())
            out += QStringLiteral("%%1")
                       .arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'))
                       .toUpper();
    }
    return out;
}

QString signedText(double value, int decimals) {
    return (value >= 0 ? QStringLiteral("+") : QString()) + QString::number(value, 'f', decimals);
}

double number(const QString& text) {
    return QString(text).replace(u',', u'.').toDouble();
}

QString brokenHeaderText(const settings::BrokenHeader& header, const QString& file) {
    return QStringLiteral("Line %1 of %2, \"%3\", is not a section header, so the calibrations "
                          "below it are not used; write it as \"[%4]\".")
        .arg(QString::number(header.line), file, header.text, kSection);
}

} // namespace

QString CalibrationStore::key(const QString& printer, Paper paperCode) {
    return escapedName(printer) + u'/' + paperName(paperCode);
}

QString CalibrationStore::valueText(const PrinterCalibration& c) {
    return QStringLiteral("across %1 mm %2 %, down %3 mm %4 %")
        .arg(signedText(c.offsetAcrossMm, 2), QString::number(c.scaleAcross * 100.0, 'f', 3),
             signedText(c.offsetDownMm, 2), QString::number(c.scaleDown * 100.0, 'f', 3));
}

std::optional<PrinterCalibration> CalibrationStore::parseValue(const QString& text) {
    static const QString kNumber = QStringLiteral("([+-]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+))");
    static const QRegularExpression kValue(
        QStringLiteral(
            "^\\s*across\\s+%1\\s*mm\\s+%1\\s*%\\s*,\\s*down\\s+%1\\s*mm\\s+%1\\s*%\\s*$")
            .arg(kNumber),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = kValue.match(text);
    if (!match.hasMatch()) return std::nullopt;
    PrinterCalibration c;
    c.offsetAcrossMm = number(match.captured(1));
    c.scaleAcross = number(match.captured(2)) / 100.0;
    c.offsetDownMm = number(match.captured(3));
    c.scaleDown = number(match.captured(4)) / 100.0;
    return c;
}

StoredCalibration CalibrationStore::read(const QString& printer, Paper paperCode) const {
    StoredCalibration result;
    const settings::ProfileFile file(m_file);
    // A broken header loses every calibration below it: said whatever is asked for.
    const std::vector<settings::BrokenHeader> broken = file.brokenHeaders(kSection);
    const auto lost = std::find_if(broken.begin(), broken.end(),
                                   [](const auto& header) { return header.entries > 0; });
    if (lost != broken.end()) result.sectionProblem = brokenHeaderText(*lost, m_file);

    const std::vector<settings::ProfileKeyLine> lines =
        file.keyLines(kSection, key(printer, paperCode));
    if (lines.empty() || (lines.size() == 1 && lines[0].value.trimmed().isEmpty())) return result;
    const QString where = QStringLiteral("The calibration of printer %1 on %2 paper in %3")
                              .arg(printer, paperName(paperCode), m_file);
    if (lines.size() > 1) {
        QStringList numbers;
        for (const settings::ProfileKeyLine& line : lines) numbers << QString::number(line.line);
        const QString last = numbers.takeLast();
        result.problem = QStringLiteral("%1 is given on %2 lines (%3 and %4), and VEXA cannot tell "
                                        "which is meant. The printer prints without a "
                                        "calibration until one of them is taken out, or the "
                                        "printer is calibrated again.")
                             .arg(where)
                             .arg(lines.size())
                             .arg(numbers.join(QLatin1String(", ")), last);
        return result;
    }
    if (lines[0].belowBrokenHeader) {
        const auto header = std::find_if(broken.rbegin(), broken.rend(),
                                         [&](const auto& h) { return h.line < lines[0].line; });
        result.problem = header != broken.rend() ? brokenHeaderText(*header, m_file) : QString();
        return result;
    }
    const QString text = lines[0].value;
    const std::optional<PrinterCalibration> parsed = parseValue(text);
    if (!parsed) {
        result.problem =
            QStringLiteral("%1 cannot be read (\"%2\"); it should look like "
                           "\"%3\". The printer prints without a calibration.")
                .arg(where, text, valueText(PrinterCalibration{1.2, -0.8, 1.003, 0.998}));
        return result;
    }
    if (const std::optional<QString> problem = calibrationOutOfRange(*parsed)) {
        result.problem =
            QStringLiteral("%1 is not used: %2. The printer prints without a calibration.")
                .arg(where, *problem);
        return result;
    }
    result.calibration = parsed;
    return result;
}

bool CalibrationStore::write(const QString& printer, Paper paperCode,
                             const PrinterCalibration& calibration) const {
    if (calibrationOutOfRange(calibration)) return false;
    return settings::ProfileFile(m_file).writeSingle(kSection, key(printer, paperCode),
                                                     valueText(calibration));
}

bool CalibrationStore::remove(const QString& printer, Paper paperCode) const {
    return settings::ProfileFile(m_file).removeEvery(kSection, key(printer, paperCode));
}

CalibrationStore settingsCalibrations() {
    return CalibrationStore(settings::settingsFilePath());
}

} // namespace vexa::cover
