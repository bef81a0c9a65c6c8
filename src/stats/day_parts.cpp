// Sorting a survey's levels into days and their parts.
#include "stats/day_parts.h"

#include <algorithm>
#include <array>

namespace lp::stats {
namespace {

// The energy and length of one part, over one day or added up over all days.
struct PartSum {
    EnergyMean energy;
    qint64 length = 0;

    [[nodiscard]] PartLevel level(std::optional<qint64> interval) const {
        return {energy.records(), energy.outOfRange(), energy.leq(),
                coverageOf(energy.records(), interval, length)};
    }
};

using DaySums = std::array<PartSum, 3>;  // day, evening, night

DayLevels levelsOf(const DaySums& sums, std::optional<qint64> interval, const DayPartHours& hours) {
    DayLevels levels;
    levels.day = sums[0].level(interval);
    levels.evening = sums[1].level(interval);
    levels.night = sums[2].level(interval);
    if (levels.day.leq && levels.evening.leq && levels.night.leq) {
        levels.lden = denLevel(*levels.day.leq, *levels.evening.leq, *levels.night.leq, hours);
    }
    return levels;
}

}  // namespace

std::optional<QString> dayPartsProblem(const DayPartHours& hours) {
    if (hours.dayStart < 0 || hours.dayStart >= hours.eveningStart ||
        hours.eveningStart >= hours.nightStart || hours.nightStart > 24) {
        return QStringLiteral(
                   "the day, evening and night must follow one another within a day "
                   "(day from %1, evening from %2, night from %3 h, each later than "
                   "the one before, the night beginning by 24 h)")
            .arg(hours.dayStart)
            .arg(hours.eveningStart)
            .arg(hours.nightStart);
    }
    return std::nullopt;
}

std::optional<QString> penaltiesProblem(const DayPartHours& hours) {
    const auto inRange = [](double penalty) { return penalty >= 0.0 && penalty <= kMostPenalty; };
    if (inRange(hours.eveningPenalty) && inRange(hours.nightPenalty)) {
        return std::nullopt;
    }
    return QStringLiteral("the evening and night penalties must lie from 0 to %1 dB, not %2 and %3")
        .arg(kMostPenalty)
        .arg(hours.eveningPenalty)
        .arg(hours.nightPenalty);
}

double denLevel(double lday, double levening, double lnight, const DayPartHours& hours) {
    const double energy = hours.dayHours() * energyOf(lday) +
                          hours.eveningHours() * energyOf(levening + hours.eveningPenalty) +
                          hours.nightHours() * energyOf(lnight + hours.nightPenalty);
    return levelOf(energy / 24.0);
}

DenLevels denLevels(const SurveyRecords& survey, std::span<const LevelSample> samples,
                    const DayPartHours& hours) {
    DenLevels out;
    if (!survey.first || dayPartsProblem(hours)) {
        return out;
    }
    const LocalDays& days = survey.days;
    // The day whose parts hold an instant: the calendar day, or the one before when
    // the instant lies before that day's dayStart.
    const auto partsDayOf = [&](qint64 instant) {
        const qint64 julianDay = days.dayOf(instant).julianDay;
        return instant < days.instantOfHour(julianDay, hours.dayStart) ? julianDay - 1 : julianDay;
    };
    const qint64 lastDay = partsDayOf(*survey.last);
    // The time the survey spans: only what of a part lies in it can have records.
    const qint64 spanFrom = *survey.first;
    const qint64 spanTo = *survey.last + survey.interval.value_or(0);
    const auto lengthInSpan = [spanFrom, spanTo](qint64 from, qint64 to) {
        return std::max<qint64>(0, std::min(to, spanTo) - std::max(from, spanFrom));
    };
    DaySums overall;
    size_t i = 0;
    for (qint64 julianDay = partsDayOf(*survey.first); julianDay <= lastDay; ++julianDay) {
        const std::array<qint64, 4> bounds = {
            days.instantOfHour(julianDay, hours.dayStart),
            days.instantOfHour(julianDay, hours.eveningStart),
            days.instantOfHour(julianDay, hours.nightStart),
            days.instantOfHour(julianDay + 1, hours.dayStart),
        };
        while (i < samples.size() && samples[i].time < bounds[0]) {
            ++i;
        }
        DaySums sums;
        for (size_t part = 0; part < 3; ++part) {
            sums[part].length = lengthInSpan(bounds[part], bounds[part + 1]);
            while (i < samples.size() && samples[i].time < bounds[part + 1]) {
                sums[part].energy.add(samples[i++]);
            }
            overall[part].energy.add(sums[part].energy);
            overall[part].length += sums[part].length;
        }
        DayLevels levels = levelsOf(sums, survey.interval, hours);
        levels.date = QDate::fromJulianDay(julianDay);
        out.days.push_back(levels);
    }
    out.overall = levelsOf(overall, survey.interval, hours);
    return out;
}

}  // namespace lp::stats
