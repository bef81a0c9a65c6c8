// Day, evening and night levels and Lden of a survey, per day and over all of it.
//
// A day's parts follow one another: the day from dayStart to eveningStart, the evening
// to nightStart, the night to dayStart of the next calendar day, in local hours. So
// the hours after midnight belong to the night of the day before, and each listed day
// runs from its dayStart to the next one. The parts' lengths (12, 4 and 8 hours by
// default) weigh the three levels in Lden; on a day of 23 or 25 hours the part that
// holds the change is an hour shorter or longer, and its coverage follows.
//
// A part's coverage is measured over the time of it that the survey spans, from the
// first record to the end of the last (its instant + S): the night before the first
// record and the rest of a night after the last are no missing data.
#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "stats/level_sample.h"
#include "stats/survey_records.h"

namespace lp::stats {

struct DayPartHours {
    // Local hours at which the parts begin: 0 <= dayStart < eveningStart < nightStart <= 24.
    int dayStart = 7;
    int eveningStart = 19;
    int nightStart = 23;
    // Added to the evening and night levels in Lden, in dB: 0 .. kMostPenalty.
    double eveningPenalty = 5.0;
    double nightPenalty = 10.0;

    [[nodiscard]] int dayHours() const { return eveningStart - dayStart; }
    [[nodiscard]] int eveningHours() const { return nightStart - eveningStart; }
    [[nodiscard]] int nightHours() const { return 24 - nightStart + dayStart; }
};

// The largest penalty: more would make the evening or the night alone decide Lden.
inline constexpr double kMostPenalty = 20.0;

// Why the hours make no three parts of a day, in words for the user; none when they do.
[[nodiscard]] std::optional<QString> dayPartsProblem(const DayPartHours& hours);
// Why the penalties cannot be used (not from 0 to kMostPenalty dB); none when they can.
[[nodiscard]] std::optional<QString> penaltiesProblem(const DayPartHours& hours);

struct PartLevel {
    qint64 records = 0;  // records that count in the part, readings out of range too
    OutOfRange outOfRange{};
    std::optional<double> leq;  // of the levels inside the measuring range
    // records × S over the part's time within the survey's span, at most 1; none when
    // S is not known or no time of the part lies in the span.
    std::optional<double> coverage;
};

struct DayLevels {
    QDate date;  // the day the parts begin on (invalid for the whole survey)
    PartLevel day;
    PartLevel evening;
    PartLevel night;
    std::optional<double> lden;  // only where all three parts have an Leq

    // The readings out of range of the three parts together.
    [[nodiscard]] OutOfRange outOfRange() const {
        return {day.outOfRange.over + evening.outOfRange.over + night.outOfRange.over,
                day.outOfRange.under + evening.outOfRange.under + night.outOfRange.under};
    }
};

struct DenLevels {
    std::vector<DayLevels> days;  // from the day of the first record to that of the last
    DayLevels overall;            // every part's records of all days together
};

// Lden of three part levels with the hours' weights and the penalties.
[[nodiscard]] double denLevel(double lday, double levening, double lnight,
                              const DayPartHours& hours);

// The levels over `samples`, the survey's samples or those of them left after
// exclusions; `hours` must pass dayPartsProblem.
[[nodiscard]] DenLevels denLevels(const SurveyRecords& survey, std::span<const LevelSample> samples,
                                  const DayPartHours& hours);

// The same worked out over the samples handed over in pieces (in time order).
class DenSweep {
public:
    DenSweep(const SurveyRecords& survey, const DayPartHours& hours);
    void add(std::span<const LevelSample> piece);
    [[nodiscard]] DenLevels finish();

private:
    // The energy and length of one part, over one day or added up over all days.
    struct PartSum {
        EnergyMean energy;
        qint64 length = 0;
    };
    void beginDay(qint64 julianDay);
    void endDay();

    const SurveyRecords& survey_;
    DayPartHours hours_;
    DenLevels out_;
    bool open_ = false;  // a day is being summed up
    qint64 julianDay_ = 0;
    qint64 lastDay_ = 0;
    // The day's parts begin at bounds_[0], [1] and [2]; the next day's at bounds_[3].
    std::array<qint64, 4> bounds_{};
    int part_ = -1;  // the part being summed up; -1 before the day's first
    std::array<PartSum, 3> sums_{};
    std::array<PartSum, 3> overall_{};
};

}  // namespace lp::stats
