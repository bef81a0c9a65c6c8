// The texts the level figures are shown in, by the histogram window and the
// command line alike.
#pragma once

#include <QString>
#include <optional>

namespace lp::stats {

// Shown where a figure has no value (no record carries a level, or no threshold
// reached that Ln).
inline const QString kNoValue = QStringLiteral("—");

// "65.3 dB" (one decimal), or kNoValue.
[[nodiscard]] QString decibelsText(const std::optional<double>& level);

// An Ln level text with its unit ("65.3 dB"), or kNoValue for an empty one.
[[nodiscard]] QString decibelsText(const QString& levelText);

}  // namespace lp::stats
