// What the assess commands share: the options besides each method's own (--exclude,
// --adjust, --weighting, --response, --min-coverage, --json, --csv), the files read as
// one survey and counted, further surveys (a residual, a background), and what every
// output states (the weighting and response, the correction, the manifest).
#pragma once

#include <QJsonObject>

#include "assess/assess_input.h"
#include "assess/manifest.h"
#include "cli/command.h"
#include "cli/survey_arguments.h"
#include "stats/figure_notation.h"

namespace lp::cli {

struct AssessFlags {
    SurveyFlags survey;
    std::optional<QString> minCoverage;
};

// The rows every method takes: --exclude, --adjust, --weighting, --response, --json,
// and --min-coverage with `coverage`, --csv with `csv`.
[[nodiscard]] std::vector<OptionRow> assessRows(AssessFlags& flags, bool coverage, bool csv);

// "07-23": the local hours of a part of the day.
[[nodiscard]] QString partHoursText(const assess::DayPart& part);
// The day and the night by --day and --night (default 07-23 and 23-07): the two follow
// one another over 24 hours, so one given makes the other the rest of the day. A
// mistake names the option and the form it takes.
[[nodiscard]] Outcome<std::vector<assess::DayPart>> readDayAndNight(
    const std::optional<QString>& day, const std::optional<QString>& night);

// A survey read and counted for an assessment.
struct AssessSurvey {
    stats::SurveyRecords records;
    stats::SurveyOptions options;                       // with the declared notation
    platform::LargeVector<stats::LevelSample> samples;  // stats::countedSamples
    stats::Notation notation;  // of the counted records (stats::surveyStates)
    std::optional<QString> mixedStates;
    QStringList overruled;  // where a file's metadata holds over the declaration
    double minCoverage = assess::kMinCoverage;

    [[nodiscard]] assess::SurveyInput input() const { return {records, samples}; }
};

// Reads the options and `files` as one survey; `events` when the method looks for
// events (--above is then needed). A mistake or a file that cannot be read is the
// refusal.
[[nodiscard]] Outcome<AssessSurvey> readAssessSurvey(const QString& command,
                                                     const AssessFlags& flags,
                                                     const QStringList& files, CommandIo& io,
                                                     bool events = false);
// Another survey of the same assessment (--residual, --background files), read with
// the same exclusions and correction.
[[nodiscard]] Outcome<AssessSurvey> readOtherSurvey(const AssessSurvey& main,
                                                    const QStringList& files);

// The manifest of a run of `command` ("assess rating") with `args`, over the files of
// all its surveys.
[[nodiscard]] Outcome<assess::Manifest> assessManifest(const QString& command,
                                                       const ReadArguments& args,
                                                       const QStringList& files);

// The JSON of an assessment on stdout: `body` with "format", "weighting", "response",
// "adjust" and "manifest".
int writtenAssessment(CommandIo& io, const AssessSurvey& survey, const assess::Manifest& manifest,
                      QJsonObject body);

// The lines a text output begins with: what the figures are (the files, the weighting
// and response, the correction).
[[nodiscard]] QByteArray assessmentHead(const QString& title, const AssessSurvey& survey);

}  // namespace lp::cli
