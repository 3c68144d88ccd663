#include "core/cover/CalibrationInput.h"

#include <QRegularExpression>

namespace vexa::cover {

QString calibrationFigureName(CalibrationFigure figure) {
    switch (figure) {
    case CalibrationFigure::Left:
        return QStringLiteral("the distance from the paper's left edge to the line");
    case CalibrationFigure::Top:
        return QStringLiteral("the distance from the paper's top edge to the line");
    case CalibrationFigure::Across:
        return QStringLiteral("the length of the ruler across the page");
    case CalibrationFigure::Down:
        return QStringLiteral("the length of the ruler down the page");
    }
    return QString();
}

std::variant<double, QString> parseMillimetres(const QString& text, CalibrationFigure figure) {
    static const QRegularExpression kLength(
        QStringLiteral("^\\s*([0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)\\s*(?:mm)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString name = calibrationFigureName(figure);
    if (text.trimmed().isEmpty())
        return QStringLiteral("Type %1 in millimetres, as measured on the printed page.").arg(name);
    const QRegularExpressionMatch match = kLength.match(text);
    if (!match.hasMatch())
        return QStringLiteral("\"%1\" is not a length: type %2 in millimetres, as digits with "
                              "a point or a comma, such as 20.5 or 20,5.")
            .arg(text.trimmed(), name);
    QString digits = match.captured(1);
    digits.replace(u',', u'.');
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok)
        return QStringLiteral("\"%1\" is not a length: type %2 in millimetres.")
            .arg(text.trimmed(), name);
    return value;
}

std::variant<PrinterCalibration, QString> calibrationFromText(const std::array<QString, 4>& typed) {
    constexpr std::array<CalibrationFigure, 4> kOrder{
        CalibrationFigure::Left, CalibrationFigure::Top, CalibrationFigure::Across,
        CalibrationFigure::Down};
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        const auto parsed = parseMillimetres(typed[i], kOrder[i]);
        if (const QString* problem = std::get_if<QString>(&parsed)) return *problem;
        values[i] = std::get<double>(parsed);
    }
    return calibrationFromMeasurements({values[0], values[1], values[2], values[3]});
}

} // namespace vexa::cover
