// Reading numbers out of texts and writing levels as text, the way the meter's
// display and the record files expect.
#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

namespace lp::platform {

// The leading decimal number of a text: blanks skipped, an optional sign, digits,
// an optional point and more digits; reading stops at the first character that
// cannot continue the number. A text without a leading number gives 0. The result is
// always finite: a number too long for a double gives the largest double.
[[nodiscard]] double leadingNumber(QStringView text);
[[nodiscard]] double leadingNumber(QLatin1StringView text);

// Whether the text begins (after blanks) with a number at all.
[[nodiscard]] bool startsWithNumber(QStringView text);
[[nodiscard]] bool startsWithNumber(QLatin1StringView text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
[[nodiscard]] double roundHalfEven(double value);

// The shortest decimal text of a single-precision value (up to 7 significant
// digits, no exponent, no trailing zeros, point as separator): 65.3, 60, 72.4.
[[nodiscard]] QString shortestText(float value);

// Writes `value` with `decimals` decimals (0 to 3, others taken as the nearest) at `out`, the text
// QString::number( value, 'f', decimals) gives: the exact binary value rounded, halves away from
// zero, a minus sign for any negative value (so -0.04 is "-0.0"); returns where it ends. No string
// is made, for tables of many thousand figures. `out` needs room for kMostFixedBytes (the largest
// double has 309 digits).
inline constexpr qsizetype kMostFixedBytes = 320;
char* putFixed(char* out, double value, int decimals);

// A level in dB as the display writes it: one decimal and a point (65.3, 60.0, 105.2).
[[nodiscard]] QString levelText(float level);

}  // namespace lp::platform
