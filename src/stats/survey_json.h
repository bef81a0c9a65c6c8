// How survey figures are written in JSON: times as ISO 8601 local times, levels and
// coverage as JSON numbers, and a period's row (the periods command's, and the period
// message a logger publishes).
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QTimeZone>
#include <optional>

#include <QJsonObject>

#include "stats/local_days.h"
#include "stats/survey_periods.h"

namespace lp::stats {

// Instants as local times "2009-06-01T14:05:09", as the CSV export writes them, in
// the text QDateTime gives, without a QDateTime for each.
class LocalTimeText {
public:
    explicit LocalTimeText(const QTimeZone& zone) : days_(zone) {}

    // The most bytes put() writes.
    static constexpr qsizetype kMostBytes = 32;
    // Writes the text at `out` and returns where it ends.
    char* put(char* out, qint64 instant);
    [[nodiscard]] QString text(qint64 instant);

private:
    LocalDays days_;
    // The date part "YYYY-MM-DDT" of the day written last.
    qint64 julianDay_ = 0;
    char date_[11] = {};
};

// A level rounded to 0.1 dB as a JSON number; null for none.
[[nodiscard]] QJsonValue levelJson(const std::optional<double>& level);
// A coverage as a fraction 0..1 with 3 decimals; null for none.
[[nodiscard]] QJsonValue coverageJson(const std::optional<double>& coverage);

// The decimals of a level and of a coverage in texts ("65.3", "0.975").
inline constexpr int kLevelDecimals = 1;
inline constexpr int kCoverageDecimals = 3;

// {"start", "end", "records", "over_range", "under_range", "coverage", "leq", "lmax",
//  "lmin", "l10", "l50", "l90"}: one period as `periods --json` lists it, times in
// `times`' zone.
[[nodiscard]] QJsonObject periodJson(const SurveyPeriod& period, LocalTimeText& times);

}  // namespace lp::stats
