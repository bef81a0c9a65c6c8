// Cutting a survey into periods and working out each period's figures.
#include "stats/survey_periods.h"

#include <algorithm>

#include "stats/exceedance.h"

namespace lp::stats {
namespace {

// The levels of one period: their energy, extremes and 0.1 dB classes; handed over
// and cleared at the period's end.
class PeriodTally {
public:
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
        levels_.add(level);
    }

    // `samples` are the ones added since the last hand-over.
    void handOver(SurveyPeriod& period, std::optional<qint64> interval,
                  std::span<const LevelSample> samples) {
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
        static constexpr int kPercents[] = {10, 50, 90};
        const std::vector<double> ln = levels_.exceeded(kPercents, samples);
        period.l10 = ln[0];
        period.l50 = ln[1];
        period.l90 = ln[2];
        levels_.clear();
        energy_ = {};
    }

private:
    ExceedanceLevels levels_;
    EnergyMean energy_;
    double lmax_ = 0.0;
    double lmin_ = 0.0;
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

PeriodSpan periodHolding(const LocalDays& days, qint64 instant, qint64 length) {
    const LocalDay& day = days.dayOf(instant);
    const std::vector<qint64> starts = periodStarts(day, length);
    const auto next = std::upper_bound(starts.begin(), starts.end(), instant);
    return {*(next - 1), next == starts.end() ? day.end : *next};
}

SurveyPeriod periodFigures(qint64 start, qint64 end, std::span<const LevelSample> samples,
                           std::optional<qint64> interval) {
    SurveyPeriod period;
    period.start = start;
    period.end = end;
    PeriodTally tally;
    for (const LevelSample& sample : samples) {
        tally.add(sample);
    }
    tally.handOver(period, interval, samples);
    return period;
}

SurveyPeriods surveyPeriods(const SurveyRecords& survey, std::span<const LevelSample> samples,
                            qint64 length) {
    SurveyPeriods out;
    out.length = length;
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
        const size_t begin = i;
        while (i < samples.size() && samples[i].time < period.end) {
            tally.add(samples[i++]);
        }
        tally.handOver(period, survey.interval, samples.subspan(begin, i - begin));
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
