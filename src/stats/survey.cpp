// Running the whole survey analysis.
#include "stats/survey.h"

#include <algorithm>
#include <cmath>

#include "stats/figure_text.h"

namespace lp::stats {
namespace {

bool beginsEarlier(const TimeRange& a, const TimeRange& b) {
    return a.from < b.from;
}

// Whether instants, asked in time order, lie in an exclusion. In order of their
// beginnings, a range passed (ending at or before an instant) holds no later instant,
// and the first range not passed holds the instant if any does: every range after it
// begins no earlier.
class ExclusionSweep {
public:
    explicit ExclusionSweep(std::span<const TimeRange> exclusions)
        : ranges_(exclusions.begin(), exclusions.end()) {
        std::sort(ranges_.begin(), ranges_.end(), beginsEarlier);
        range_ = ranges_.begin();
    }
    [[nodiscard]] bool holds(qint64 instant) {
        while (range_ != ranges_.end() && range_->to <= instant) {
            ++range_;
        }
        return range_ != ranges_.end() && range_->from <= instant;
    }

private:
    std::vector<TimeRange> ranges_;
    std::vector<TimeRange>::const_iterator range_;
};

}  // namespace

std::optional<QString> surveyOptionsProblem(const SurveyOptions& options) {
    if (!isPeriodLength(options.periodLength)) {
        return QStringLiteral(
                   "a period must last from 1 minute to 24 hours and divide a day "
                   "into whole periods, not %1 s")
            .arg(options.periodLength);
    }
    if (std::optional<QString> problem = dayPartsProblem(options.dayParts)) {
        return problem;
    }
    if (std::optional<QString> problem = penaltiesProblem(options.dayParts)) {
        return problem;
    }
    if (const std::optional<EventRule>& rule = options.events) {
        if (!std::isfinite(rule->threshold) || rule->minDuration < 0 || rule->bridge < 0) {
            return QStringLiteral(
                "an event needs a threshold in dB, and its minimum duration "
                "and bridge cannot be negative");
        }
    }
    if (!std::isfinite(options.adjust) || std::abs(options.adjust) > kMostAdjust) {
        return QStringLiteral("a level correction must lie from -%1 to +%1 dB").arg(kMostAdjust);
    }
    for (const TimeRange& range : options.exclusions) {
        if (range.to <= range.from) {
            return QStringLiteral("an excluded span must end after it begins");
        }
    }
    return std::nullopt;
}

platform::LargeVector<LevelSample> withoutExclusions(std::span<const LevelSample> samples,
                                                     std::span<const TimeRange> exclusions,
                                                     qint64& excluded) {
    ExclusionSweep sweep(exclusions);
    platform::LargeVector<LevelSample> kept;
    kept.reserve(samples.size());
    for (const LevelSample& sample : samples) {
        if (!sweep.holds(sample.time)) {
            kept.push_back(sample);
        }
    }
    excluded = static_cast<qint64>(samples.size() - kept.size());
    return kept;
}

qint64 excludedCount(std::span<const qint64> instants, std::span<const TimeRange> exclusions) {
    ExclusionSweep sweep(exclusions);
    return std::count_if(instants.begin(), instants.end(),
                         [&sweep](qint64 instant) { return sweep.holds(instant); });
}

namespace {

// Hands the samples that count over in pieces (in time order): those outside every
// exclusion, with options.adjust added to every level inside the measuring range.
// `excluded` is set to how many lie in an exclusion.
void forEachCountedPiece(const SurveyRecords& survey, const SurveyOptions& options,
                         qint64& excluded,
                         const std::function<void(std::span<const LevelSample>)>& take) {
    excluded = 0;
    if (options.exclusions.empty() && options.adjust == 0.0) {
        forEachSamplePiece(survey, take);
        return;
    }
    ExclusionSweep sweep(options.exclusions);
    const double factor = energyOf(options.adjust);
    std::vector<LevelSample> kept;
    forEachSamplePiece(survey, [&](std::span<const LevelSample> piece) {
        kept.clear();
        for (LevelSample sample : piece) {
            if (sweep.holds(sample.time)) {
                ++excluded;
                continue;
            }
            if (options.adjust != 0.0 && sample.inRange()) {
                sample.level += options.adjust;
                sample.energy *= factor;
            }
            kept.push_back(sample);
        }
        take(kept);
    });
}

}  // namespace

platform::LargeVector<LevelSample> countedSamples(const SurveyRecords& survey,
                                                  const SurveyOptions& options, qint64& excluded) {
    platform::LargeVector<LevelSample> kept;
    kept.reserve(survey.samples.size() + survey.store.size());
    forEachCountedPiece(survey, options, excluded, [&kept](std::span<const LevelSample> piece) {
        kept.insert(kept.end(), piece.begin(), piece.end());
    });
    return kept;
}

SurveyResult analyseSurvey(const SurveyRecords& survey, const SurveyOptions& options) {
    SurveyResult result;
    result.files = survey.files;
    result.held = survey.held != nullptr;
    result.zone = survey.days.zone();
    if (survey.error) {
        result.failure = surveyReadFailureText(*survey.error, survey.misdated);
        return result;
    }
    if (std::optional<QString> problem = surveyOptionsProblem(options)) {
        result.failure = problem;
        return result;
    }
    result.records = survey.records;
    result.undated = survey.undated;
    result.leftOut = survey.leftOut;
    result.repeated = survey.repeated;
    result.conflicting = survey.conflicting;
    result.first = survey.first;
    result.last = survey.last;
    result.interval = survey.interval;
    result.adjust = options.adjust;

    SurveyStates states = surveyStates(survey, options.declared, options.exclusions);
    result.notation = states.notation;
    result.mixedStates = std::move(states.mixed);
    result.overruled = std::move(states.overruled);
    // One walk through the samples for every figure asked for.
    std::optional<PeriodSweep> periods;
    if (options.withPeriods) {
        periods.emplace(survey, options.periodLength);
    }
    std::optional<DenSweep> den;
    if (options.withDayParts) {
        den.emplace(survey, options.dayParts);
    }
    std::optional<EventDetector> events;
    if (options.events) {
        events.emplace(*options.events, survey.interval.value_or(0));
    }
    forEachCountedPiece(survey, options, result.excluded, [&](std::span<const LevelSample> piece) {
        result.counted += static_cast<qint64>(piece.size());
        if (periods) {
            periods->add(piece);
        }
        if (den) {
            den->add(piece);
        }
        if (events) {
            for (const LevelSample& sample : piece) {
                if (std::optional<LevelEvent> ended = events->add(sample).ended) {
                    result.events.push_back(*ended);
                }
            }
        }
    });
    if (!options.exclusions.empty()) {
        // A record without a level in an exclusion is excluded like any other.
        const qint64 withoutLevel = excludedCount(survey.leftOutTimes, options.exclusions);
        result.leftOut -= withoutLevel;
        result.excluded += withoutLevel;
    }
    if (periods) {
        result.periods = periods->finish();
    }
    if (den) {
        result.den = den->finish();
    }
    if (events) {
        if (std::optional<LevelEvent> last = events->finish()) {
            result.events.push_back(*last);
        }
    }
    return result;
}

SurveyResult analyseSurvey(const QStringList& files, const SurveyOptions& options,
                           const QTimeZone& zone) {
    if (std::optional<QString> problem = surveyOptionsProblem(options)) {
        SurveyResult result;
        result.files = files;
        result.zone = zone;
        result.failure = problem;
        return result;  // no file is read for options that cannot be used
    }
    return analyseSurvey(readSurvey(files, zone), options);
}

QString surveyReadFailureText(const records::FileError& error, bool misdated) {
    if (misdated) {
        const QString most = QStringLiteral("a survey spans at most %1 days").arg(kMostSurveyDays);
        if (error.line == 0) {
            return QStringLiteral("%1: %2; leave some files out.").arg(error.reason, most);
        }
        return QStringLiteral("Line %1 of %2 %3: %4; correct the date or leave the file out.")
            .arg(error.line)
            .arg(error.fileName, error.reason, most);
    }
    if (error.line == 0) {
        return QStringLiteral("%1 cannot be read: %2.").arg(error.fileName, error.reason);
    }
    return QStringLiteral("Reading %1 stopped at line %2: %3.")
        .arg(error.fileName)
        .arg(error.line)
        .arg(error.reason);
}

}  // namespace lp::stats
