// The texts of the level figures.
#include "stats/figure_text.h"

#include <QStringList>

namespace lp::stats {

QString levelText(double level) {
    return QString::number(level, 'f', 1);
}

QString levelText(const std::optional<double>& level) {
    return level ? levelText(*level) : kNoValue;
}

double shownLevel(double level) {
    return levelText(level).toDouble();
}

std::optional<double> shownLevel(const std::optional<double>& level) {
    return level ? std::optional(shownLevel(*level)) : std::nullopt;
}

QString decibelsText(double level) {
    return levelText(level) + QStringLiteral(" dB");
}

QString decibelsText(const std::optional<double>& level) {
    return level ? decibelsText(*level) : kNoValue;
}

QString decibelsText(const QString& levelText) {
    return levelText.isEmpty() ? kNoValue : levelText + QStringLiteral(" dB");
}

QString outOfRangeText(const OutOfRange& readings) {
    QStringList parts;
    if (readings.over > 0) {
        parts << QStringLiteral("%1 over").arg(readings.over);
    }
    if (readings.under > 0) {
        parts << QStringLiteral("%1 under").arg(readings.under);
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace lp::stats
