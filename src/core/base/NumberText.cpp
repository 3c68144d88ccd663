#include "core/base/NumberText.h"

#include <QRegularExpression>

#include <cmath>

namespace vexa::base {

double roundHalfEven(double value) {
    return std::nearbyint(value);
} // default mode: to even

std::optional<std::int16_t> textToInt16(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    const QString trimmed = text.trimmed();
    if (!number.match(trimmed).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

} // namespace vexa::base
