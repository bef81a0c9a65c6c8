// The texts the level figures are shown in, by the histogram window and the
// command line alike.
#pragma once

#include <QString>
#include <optional>

#include "stats/level_sample.h"

namespace lp::stats {

// Shown where a figure has no value (no record carries a level, or no threshold
// reached that Ln).
inline const QString kNoValue = QStringLiteral("—");

// A level in dB as text: one decimal, the decimal nearest the double ("65.3"; an exact
// half away from zero), for every figure, table, event log and JSON number the
// program writes from a level worked out.
[[nodiscard]] QString levelText(double level);
// The same, or kNoValue.
[[nodiscard]] QString levelText(const std::optional<double>& level);
// The level as levelText shows it, as a number: every verdict and class compares this,
// so that what the reader sees and the verdict agree.
[[nodiscard]] double shownLevel(double level);
[[nodiscard]] std::optional<double> shownLevel(const std::optional<double>& level);

// "65.3 dB" (one decimal), or kNoValue.
[[nodiscard]] QString decibelsText(double level);
[[nodiscard]] QString decibelsText(const std::optional<double>& level);

// An Ln level text with its unit ("65.3 dB"), or kNoValue for an empty one.
[[nodiscard]] QString decibelsText(const QString& levelText);

// The mark of a period, part of a day or event holding readings out of range, whose
// Leq and Lmax are then bounds: "2 over", "5 under", "2 over, 5 under"; empty for none.
[[nodiscard]] QString outOfRangeText(const OutOfRange& readings);

}  // namespace lp::stats
