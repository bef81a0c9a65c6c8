// A survey: one or more record files analysed as one stretch of time, by period, by
// part of the day (with Lden) and for loud events, with spans of time left out.
//
// The records are read once (readSurvey); the analysis runs over them as often as the
// options change. Every figure is a double worked out from the level texts; rounding
// to 0.1 dB is for display (stats::levelText).
#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <optional>
#include <span>
#include <vector>

#include "records/file_error.h"
#include "stats/day_parts.h"
#include "stats/figure_notation.h"
#include "stats/level_events.h"
#include "stats/survey_periods.h"
#include "stats/survey_records.h"

namespace lp::stats {

// A span of time [from, to), instants in seconds since the epoch.
struct TimeRange {
    qint64 from = 0;
    qint64 to = 0;
};

// What the levels of a survey are: the weighting and response of its counted records,
// from the files' metadata (FILE.meta) or, for files without, as the user declares
// them. A figure's label names a weighting or response only when every counted record
// was taken under it; a survey that mixes them is told in words.
struct SurveyStates {
    Notation notation;
    // "The survey mixes meter states: A weighting in day1.sdm, C weighting in day2.sdm
    // lines 7-2410; ...": which states, which files; none when they agree.
    std::optional<QString> mixed;
    // Where a file's metadata says otherwise than the declaration: it holds, said in
    // words, one line a file.
    QStringList overruled;
};

// The states of the records of `survey` that count: in stretches (StateStretch) not
// wholly inside an exclusion. A value the metadata leaves out, or all of it for a file
// without metadata, is `declared`. Without counted records, the declaration.
// (survey_states.cpp)
[[nodiscard]] SurveyStates surveyStates(const SurveyRecords& survey, const Notation& declared,
                                        std::span<const TimeRange> exclusions);

struct SurveyOptions {
    qint64 periodLength = 3600;  // seconds, isPeriodLength
    DayPartHours dayParts;
    std::optional<EventRule> events;  // none: no events are looked for
    std::vector<TimeRange> exclusions;
    // Added to every level inside the measuring range before any figure, in dB (-3 for a
    // measurement in front of a façade): |adjust| <= kMostAdjust.
    double adjust = 0.0;
    // The weighting and response of files without metadata (FILE.meta), and of what a
    // file's metadata leaves out.
    Notation declared{};
    // Whether the periods and the day parts are worked out: the window shows them all,
    // a command that prints one table needs only that one.
    bool withPeriods = true;
    bool withDayParts = true;
};

struct SurveyResult {
    // Why nothing was worked out, in words for the user: a file that could not be
    // read (which file, which line, why) or an option out of range.
    std::optional<QString> failure;

    QStringList files;
    // The records were held in memory (SurveyRecords::held): `files` holds their name.
    bool held = false;
    QTimeZone zone;
    qint64 records = 0;      // every record read
    qint64 undated = 0;      // without a readable time stamp
    qint64 leftOut = 0;      // dated, in no class ("*", no number), not excluded
    qint64 excluded = 0;     // dated, in an exclusion
    qint64 repeated = 0;     // given again at an instant, the same level (SurveyRecords)
    qint64 conflicting = 0;  // given again at an instant, another level
    // In the figures: records - undated - leftOut - excluded - repeated - conflicting.
    qint64 counted = 0;
    std::optional<qint64> first;  // instants of the first and last dated record
    std::optional<qint64> last;
    std::optional<qint64> interval;  // S, seconds

    // The weighting and response of the counted records (stats::surveyStates): what
    // the labels name; the mixed states in words; where metadata overruled the
    // declaration, in words.
    Notation notation{};
    std::optional<QString> mixedStates{};
    QStringList overruled{};
    double adjust = 0.0;  // the correction added to the levels (SurveyOptions::adjust)

    SurveyPeriods periods;
    DenLevels den;
    platform::LargeVector<LevelEvent> events;
};

// The largest level correction: more is no correction but another measurement.
inline constexpr double kMostAdjust = 30.0;

// Why the options cannot be used, in words for the user; none when they can.
[[nodiscard]] std::optional<QString> surveyOptionsProblem(const SurveyOptions& options);

// The samples outside every exclusion; `excluded` is set to how many lie inside one.
[[nodiscard]] platform::LargeVector<LevelSample> withoutExclusions(
    std::span<const LevelSample> samples, std::span<const TimeRange> exclusions, qint64& excluded);
// How many of the instants (in time order) lie inside an exclusion.
[[nodiscard]] qint64 excludedCount(std::span<const qint64> instants,
                                   std::span<const TimeRange> exclusions);

// The samples that count in the figures: the survey's, less those in an exclusion,
// with options.adjust added to every level inside the measuring range (readings out of
// range stay at their classes). `excluded` is set to how many lie in an exclusion.
[[nodiscard]] platform::LargeVector<LevelSample> countedSamples(const SurveyRecords& survey,
                                                                const SurveyOptions& options,
                                                                qint64& excluded);

// The analysis of records read before.
[[nodiscard]] SurveyResult analyseSurvey(const SurveyRecords& survey, const SurveyOptions& options);
// Reads the files (in `zone`) and analyses them.
[[nodiscard]] SurveyResult analyseSurvey(const QStringList& files, const SurveyOptions& options,
                                         const QTimeZone& zone = QTimeZone::systemTimeZone());

// The words for a survey file that could not be read to its end, or, when `misdated`,
// for the record dated too far from the others (SurveyRecords::misdated).
[[nodiscard]] QString surveyReadFailureText(const records::FileError& error, bool misdated = false);

}  // namespace lp::stats
