// Cutting a survey into periods and working out each period's figures.
#include "stats/survey_periods.h"

#include <algorithm>
#include <array>

#include "stats/level_tally.h"
#include "stats/percentiles.h"
#include "stats/resolution.h"

namespace lp::stats {
namespace {

// The levels of one period: their energy, extremes and 0.1 dB classes; handed over
// and cleared at the period's end.
class PeriodTally {
public:
    PeriodTally() : classes_(topClass(Resolution::TenthDb) + 1, 0) {}

    void add(const LevelSample& sample) {
        const double level = sample.level;
        if (sample.inRange()) {
            if (energy_.count() == 0) {
                lmax_ = level;
                lmin_ = level;
            }
            lmax_ = std::max(lmax_, level);
            lmin_ = std::min(lmin_, level);
        }
        energy_.add(sample);
        // A level lies below 145 dB and a reading out of range stands at 25 or 145 dB,
        // so its class is at most the top one.
        const int c = tenthClassOf(level);
        ++classes_[size_t(c)];
        low_ = std::min(low_, c);
        high_ = std::max(high_, c);
    }

    void handOver(SurveyPeriod& period, std::optional<qint64> interval) {
        const qint64 count = energy_.records();
        period.records = count;
        period.outOfRange = energy_.outOfRange();
        period.coverage = coverageOf(count, interval, period.end - period.start);
        if (count == 0) {
            return;
        }
        if (energy_.count() > 0) {
            period.leq = energy_.leq();
            period.lmax = lmax_;
            period.lmin = lmin_;
        }
        // No class below the lowest holds a record, so the sweep may start there.
        const std::span<const qint64> used(classes_.data() + low_, size_t(high_ - low_ + 1));
        const std::array<int, 100> ln = lnClasses(used, count);
        const auto level = [this, &ln](int n) { return (ln[size_t(n)] + low_) / 10.0; };
        period.l10 = level(10);
        period.l50 = level(50);
        period.l90 = level(90);
        std::fill(classes_.begin() + low_, classes_.begin() + high_ + 1, 0);
        energy_ = {};
        low_ = kNoClass;
        high_ = -1;
    }

private:
    static constexpr int kNoClass = 1 << 30;
    std::vector<qint64> classes_;
    EnergyMean energy_;
    double lmax_ = 0.0;
    double lmin_ = 0.0;
    int low_ = kNoClass;
    int high_ = -1;
};

// Where the periods of a day begin: wherever its wall clock shows a whole number of
// periods since midnight, and at its midnight.
std::vector<qint64> periodStarts(const LocalDay& day, qint64 length) {
    std::vector<qint64> starts;
    starts.reserve(size_t(kSecondsPerDay / length + 1));
    starts.push_back(day.start);
    for (qint64 wall = length; wall < kSecondsPerDay; wall += length) {
        qint64 instants[2];
        const int count = day.instantsOf(static_cast<int>(wall), instants);
        starts.insert(starts.end(), instants, instants + count);
    }
    if (day.shift != 0) {
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    }
    return starts;
}

}  // namespace

SurveyPeriods surveyPeriods(const SurveyRecords& survey, std::span<const LevelSample> samples,
                            qint64 length) {
    SurveyPeriods out;
    if (!survey.first || !isPeriodLength(length)) {
        return out;
    }
    const qint64 first = *survey.first;
    const qint64 last = *survey.last;
    const qint64 count = (last - first) / length + 2;
    if (count > kMaxPeriods) {
        out.refused = QStringLiteral(
                          "the records span about %1 periods of this length, more than "
                          "%2; choose longer periods")
                          .arg(count)
                          .arg(kMaxPeriods);
        return out;
    }
    out.list.reserve(size_t(count));
    const LocalDay* day = &survey.days.dayOf(first);
    std::vector<qint64> starts = periodStarts(*day, length);
    // The period that holds the first record.
    size_t next =
        size_t(std::upper_bound(starts.begin(), starts.end(), first) - starts.begin()) - 1;
    size_t i = 0;
    while (i < samples.size() && samples[i].time < starts[next]) {
        ++i;
    }
    PeriodTally tally;
    while (starts[next] <= last) {
        SurveyPeriod period;
        period.start = starts[next];
        period.end = ++next < starts.size() ? starts[next] : day->end;
        while (i < samples.size() && samples[i].time < period.end) {
            tally.add(samples[i++]);
        }
        tally.handOver(period, survey.interval);
        out.list.push_back(period);
        if (next == starts.size()) {
            day = &survey.days.day(day->julianDay + 1);
            starts = periodStarts(*day, length);
            next = 0;
        }
    }
    return out;
}

}  // namespace lp::stats
