// The periods of a survey: stretches of equal length, aligned to local midnight, from
// the period of the first record to that of the last, each with its level figures.
//
// A period begins wherever the local wall clock shows a whole number of periods since
// midnight, and ends where the next begins. On the day clocks go forward no period
// begins in the skipped hour; on the day they go back the repeated hour's beginnings
// come twice. So such a day has 23 or 25 hourly periods and its daily period lasts 23
// or 25 hours; of two-hour periods, the one from 00:00 lasts 3 hours on the day clocks
// go forward, and on the day they go back the one from the first 02:00 lasts 1 hour.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "stats/level_sample.h"
#include "stats/survey_records.h"

namespace lp::stats {

struct SurveyPeriod {
    qint64 start = 0;  // instants: the period is [start, end)
    qint64 end = 0;
    qint64 records = 0;  // records that count in it, readings out of range too
    OutOfRange outOfRange{};
    std::optional<double> coverage;
    // None when no record counts in the period (Leq, Lmax, Lmin: no level inside the
    // measuring range). L10, L50, L90 are the levels exceeded for 10, 50 and 90 % of the
    // counted time (ExceedanceLevels), readings out of range at 25 and 145 dB.
    std::optional<double> leq;
    std::optional<double> lmax;
    std::optional<double> lmin;
    std::optional<double> l10;
    std::optional<double> l50;
    std::optional<double> l90;
};

struct SurveyPeriods {
    std::vector<SurveyPeriod> list;
    qint64 length = 0;  // seconds, as asked
    // Why no periods are listed (the survey spans too many of them); none otherwise.
    std::optional<QString> refused;
};

// More periods than this are not listed: a survey of years in minutes is a mistake.
inline constexpr qint64 kMaxPeriods = 1'000'000;
inline constexpr qint64 kShortestPeriod = 60;

// Whether periods may be this long: from 1 minute to 24 hours, a whole part of a day.
[[nodiscard]] constexpr bool isPeriodLength(qint64 seconds) {
    return seconds >= kShortestPeriod && seconds <= kSecondsPerDay && kSecondsPerDay % seconds == 0;
}

// The period of `length` seconds (isPeriodLength) that holds `instant`: [start, end).
struct PeriodSpan {
    qint64 start = 0;
    qint64 end = 0;
};
[[nodiscard]] PeriodSpan periodHolding(const LocalDays& days, qint64 instant, qint64 length);

// The figures of the period [start, end) over `samples`, those of the survey inside it
// in time order; `interval` is the survey's S (for the coverage).
[[nodiscard]] SurveyPeriod periodFigures(qint64 start, qint64 end,
                                         std::span<const LevelSample> samples,
                                         std::optional<qint64> interval);

// The periods of `length` seconds (isPeriodLength) over `samples`, the survey's samples
// or those of them left after exclusions.
[[nodiscard]] SurveyPeriods surveyPeriods(const SurveyRecords& survey,
                                          std::span<const LevelSample> samples, qint64 length);

// The same worked out over the samples handed over in pieces (in time order): only the
// period being summed up is held, its samples copied only where it spans two pieces.
class PeriodSweep {
public:
    PeriodSweep(const SurveyRecords& survey, qint64 length);
    ~PeriodSweep();
    void add(std::span<const LevelSample> piece);
    [[nodiscard]] SurveyPeriods finish();

    class Tally;  // the figures of one period

private:
    // Hands the period over and moves to the next one; false after the last.
    bool nextPeriod(std::span<const LevelSample> samples);

    const SurveyRecords& survey_;
    SurveyPeriods out_;
    std::unique_ptr<Tally> tally_;
    bool open_ = false;  // a period is being summed up
    SurveyPeriod period_;
    const LocalDay* day_ = nullptr;
    std::vector<qint64> starts_;
    size_t next_ = 0;
    // The samples of the period from pieces before this one.
    std::vector<LevelSample> carried_;
};

}  // namespace lp::stats
