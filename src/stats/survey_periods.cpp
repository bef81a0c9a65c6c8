// Cutting a survey into periods and working out each period's figures.
#include "stats/survey_periods.h"

#include <algorithm>

#include "stats/exceedance.h"

namespace lp::stats {
namespace {}  // namespace

// The levels of one period: their energy, extremes and 0.1 dB classes; handed over
// and cleared at the period's end.
class PeriodSweep::Tally {
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

namespace {

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
    PeriodSweep::Tally tally;
    for (const LevelSample& sample : samples) {
        tally.add(sample);
    }
    tally.handOver(period, interval, samples);
    return period;
}

SurveyPeriods surveyPeriods(const SurveyRecords& survey, std::span<const LevelSample> samples,
                            qint64 length) {
    PeriodSweep sweep(survey, length);
    sweep.add(samples);
    return sweep.finish();
}

PeriodSweep::PeriodSweep(const SurveyRecords& survey, qint64 length)
    : survey_(survey), tally_(std::make_unique<Tally>()) {
    out_.length = length;
    if (!survey.first || !isPeriodLength(length)) {
        return;
    }
    const qint64 first = *survey.first;
    const qint64 count = (*survey.last - first) / length + 2;
    if (count > kMaxPeriods) {
        out_.refused = QStringLiteral(
                           "the records span about %1 periods of this length, more than "
                           "%2; choose longer periods")
                           .arg(count)
                           .arg(kMaxPeriods);
        return;
    }
    out_.list.reserve(size_t(count));
    day_ = &survey.days.dayOf(first);
    starts_ = periodStarts(*day_, length);
    // The period that holds the first record.
    next_ = size_t(std::upper_bound(starts_.begin(), starts_.end(), first) - starts_.begin()) - 1;
    open_ = true;
    period_.start = starts_[next_];
    period_.end = ++next_ < starts_.size() ? starts_[next_] : day_->end;
}

PeriodSweep::~PeriodSweep() = default;

bool PeriodSweep::nextPeriod(std::span<const LevelSample> samples) {
    tally_->handOver(period_, survey_.interval, samples);
    out_.list.push_back(period_);
    if (next_ == starts_.size()) {
        day_ = &survey_.days.day(day_->julianDay + 1);
        starts_ = periodStarts(*day_, out_.length);
        next_ = 0;
    }
    open_ = starts_[next_] <= *survey_.last;
    period_ = {};
    period_.start = starts_[next_];
    period_.end = ++next_ < starts_.size() ? starts_[next_] : day_->end;
    return open_;
}

void PeriodSweep::add(std::span<const LevelSample> piece) {
    size_t i = 0;
    while (open_ && i < piece.size() && piece[i].time < period_.start) {
        ++i;
    }
    size_t begin = i;
    while (open_ && i < piece.size()) {
        if (piece[i].time < period_.end) {
            tally_->add(piece[i++]);
            continue;
        }
        const std::span<const LevelSample> own = piece.subspan(begin, i - begin);
        if (carried_.empty()) {
            nextPeriod(own);
        } else {
            carried_.insert(carried_.end(), own.begin(), own.end());
            nextPeriod(carried_);
            carried_.clear();
        }
        begin = i;
    }
    if (open_) {
        carried_.insert(carried_.end(), piece.begin() + qsizetype(begin), piece.end());
    }
}

SurveyPeriods PeriodSweep::finish() {
    while (open_ && nextPeriod(carried_)) {
        carried_.clear();
    }
    return std::move(out_);
}

}  // namespace lp::stats
