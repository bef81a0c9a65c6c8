// What every assessment works on and shares: the survey's counted samples, the parts of
// the day by local hours, reference intervals aligned to local midnight and judged by
// their coverage, and figures compared as they are shown.
#pragma once

#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "stats/survey.h"

namespace lp::assess {

// A survey as the assessments take it: its records (their local days, S) and the
// samples that count (stats::countedSamples: exclusions left out, --adjust added).
struct SurveyInput {
    const stats::SurveyRecords& records;
    std::span<const stats::LevelSample> samples;
};

// A part of the day by local hours, from `from` to `to` (0..24; to <= from runs over
// midnight: 23-07). Named "day", "evening" or "night".
struct DayPart {
    QString name;
    int from = 0;
    int to = 0;
    // Whether a local hour of the day (0..23) lies in the part.
    [[nodiscard]] bool holdsHour(int hour) const {
        return from < to ? (hour >= from && hour < to) : (hour >= from || hour < to);
    }
};

// "07-23": local hours from and to as the options and the outputs write them (24 as
// the end is 00).
[[nodiscard]] QString hoursText(int from, int to);
[[nodiscard]] inline QString partHoursText(const DayPart& part) {
    return hoursText(part.from, part.to);
}

// The parts by default: day 07-23, night 23-07.
[[nodiscard]] std::vector<DayPart> dayAndNight();

// The part (index into `parts`) whose hours hold the local wall-clock hour at
// `instant`; -1 when none does.
[[nodiscard]] int partAt(const stats::LocalDays& days, qint64 instant,
                         std::span<const DayPart> parts);

// The least coverage of a reference interval that is used, by default.
inline constexpr double kMinCoverage = 0.75;

// Whether an interval is covered enough to be used.
[[nodiscard]] bool isCovered(const stats::SurveyPeriod& interval, double minCoverage);

// The reference intervals of `length` seconds aligned to local midnight over the
// survey, each with its figures (stats::surveyPeriods).
[[nodiscard]] std::vector<stats::SurveyPeriod> referenceIntervals(const SurveyInput& input,
                                                                  qint64 length);

// Every verdict and class compares a figure as shown: stats::shownLevel.

// The p-th percentile (0..100) of `values` by linear interpolation between the ordered
// values (a spreadsheet's PERCENTILE.INC); none for no values.
[[nodiscard]] std::optional<double> percentileOf(std::vector<double> values, double p);

}  // namespace lp::assess
