#include "core/cover/CalibrationStore.h"

#include "core/cover/PaperChoice.h"

#include "core/settings/ProfileFile.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsKeys.h"

#include <QRegularExpression>

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
    const QString text = settings::ProfileFile(m_file).read(kSection, key(printer, paperCode));
    if (text.trimmed().isEmpty()) return result;
    const QString where = QStringLiteral("The calibration of printer %1 on %2 paper in %3")
                              .arg(printer, paperName(paperCode), m_file);
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
    return settings::ProfileFile(m_file).write(kSection, key(printer, paperCode),
                                               valueText(calibration));
}

bool CalibrationStore::remove(const QString& printer, Paper paperCode) const {
    return settings::ProfileFile(m_file).remove(kSection, key(printer, paperCode));
}

CalibrationStore settingsCalibrations() {
    return CalibrationStore(settings::settingsFilePath());
}

} // namespace vexa::cover
