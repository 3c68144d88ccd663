#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vexa::base {

// Rounds to the nearest integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, -2.5 -> -2).
double roundHalfEven(double value);

// Converts a decimal text (optional sign, digits, optional fraction and exponent; blanks,
// tabs and line ends around it are ignored) to a 16-bit signed integer, rounding a fraction
// half to even. Nothing when the text is no number or the rounded value lies outside
// -32768 ... 32767.
std::optional<std::int16_t> textToInt16(const QString& text);

} // namespace vexa::base
