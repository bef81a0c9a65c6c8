// The texts of the level figures.
#include "stats/figure_text.h"

namespace lp::stats {

QString decibelsText(const std::optional<double>& level) {
    return level ? QString::number(*level, 'f', 1) + QStringLiteral(" dB") : kNoValue;
}

QString decibelsText(const QString& levelText) {
    return levelText.isEmpty() ? kNoValue : levelText + QStringLiteral(" dB");
}

}  // namespace lp::stats
