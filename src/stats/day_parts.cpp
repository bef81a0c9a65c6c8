// Sorting a survey's levels into days and their parts.
#include "stats/day_parts.h"

#include <algorithm>
#include <array>

namespace lp::stats {
namespace {

template <class Sum>
PartLevel levelOf(const Sum& sum, std::optional<qint64> interval) {
    return {sum.energy.records(), sum.energy.outOfRange(), sum.energy.leq(),
            coverageOf(sum.energy.records(), interval, sum.length)};
}

// Of day, evening, night.
template <class Sums>
DayLevels levelsOf(const Sums& sums, std::optional<qint64> interval, const DayPartHours& hours) {
    DayLevels levels;
    levels.day = levelOf(sums[0], interval);
    levels.evening = levelOf(sums[1], interval);
    levels.night = levelOf(sums[2], interval);
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
    DenSweep sweep(survey, hours);
    sweep.add(samples);
    return sweep.finish();
}

DenSweep::DenSweep(const SurveyRecords& survey, const DayPartHours& hours)
    : survey_(survey), hours_(hours) {
    if (!survey.first || dayPartsProblem(hours)) {
        return;
    }
    // The day whose parts hold an instant: the calendar day, or the one before when
    // the instant lies before that day's dayStart.
    const auto partsDayOf = [&](qint64 instant) {
        const qint64 julianDay = survey.days.dayOf(instant).julianDay;
        return instant < survey.days.instantOfHour(julianDay, hours.dayStart) ? julianDay - 1
                                                                              : julianDay;
    };
    lastDay_ = partsDayOf(*survey.last);
    beginDay(partsDayOf(*survey.first));
}

void DenSweep::beginDay(qint64 julianDay) {
    open_ = julianDay <= lastDay_;
    if (!open_) {
        return;
    }
    const LocalDays& days = survey_.days;
    julianDay_ = julianDay;
    bounds_ = {
        days.instantOfHour(julianDay, hours_.dayStart),
        days.instantOfHour(julianDay, hours_.eveningStart),
        days.instantOfHour(julianDay, hours_.nightStart),
        days.instantOfHour(julianDay + 1, hours_.dayStart),
    };
    // The time the survey spans: only what of a part lies in it can have records.
    const qint64 spanFrom = *survey_.first;
    const qint64 spanTo = *survey_.last + survey_.interval.value_or(0);
    for (size_t part = 0; part < 3; ++part) {
        sums_[part] = {};
        sums_[part].length = std::max<qint64>(
            0, std::min(bounds_[part + 1], spanTo) - std::max(bounds_[part], spanFrom));
    }
    part_ = -1;
}

void DenSweep::endDay() {
    for (size_t part = 0; part < 3; ++part) {
        overall_[part].energy.add(sums_[part].energy);
        overall_[part].length += sums_[part].length;
    }
    DayLevels levels = levelsOf(sums_, survey_.interval, hours_);
    levels.date = QDate::fromJulianDay(julianDay_);
    out_.days.push_back(levels);
    beginDay(julianDay_ + 1);
}

void DenSweep::add(std::span<const LevelSample> piece) {
    for (const LevelSample& sample : piece) {
        while (open_) {
            if (part_ < 0) {
                if (sample.time < bounds_[0]) {
                    break;  // before the day's parts: in none
                }
                part_ = 0;
            }
            while (part_ < 3 && sample.time >= bounds_[size_t(part_) + 1]) {
                ++part_;
            }
            if (part_ < 3) {
                sums_[size_t(part_)].energy.add(sample);
                break;
            }
            endDay();
        }
    }
}

DenLevels DenSweep::finish() {
    if (survey_.first && !dayPartsProblem(hours_)) {
        while (open_) {
            endDay();
        }
        out_.overall = levelsOf(overall_, survey_.interval, hours_);
    }
    return std::move(out_);
}

}  // namespace lp::stats
