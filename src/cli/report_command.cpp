// The report command: the survey's PDF report, as the Survey window writes it.
#include "cli/report_command.h"

#include <QDateTime>

#include "cli/assess_survey.h"
#include "cli/kit/std_paths.h"
#include "cli/survey_arguments.h"
#include "survey/report_content.h"
#include "survey/survey_report.h"

namespace lp::cli {

int paintReport(const ReportOptions& options, const ReadArguments& args, CommandIo& io) {
    const SurveyFlags& flags = options.survey;
    if (args.files.isEmpty()) {
        return io.talk.usage(QStringLiteral("report needs at least one FILE"));
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    // Events are listed when a threshold is given.
    const Outcome<stats::SurveyOptions> read =
        readSurveyOptions(flags, flags.above.has_value(), zone);
    if (!read) {
        return io.talk.refused(read.refusal());
    }
    stats::SurveyOptions surveyOptions = *read;
    const Outcome<stats::Notation> declared = readDeclaredNotation(flags);
    if (!declared) {
        return io.talk.refused(declared.refusal());
    }
    surveyOptions.declared = *declared;
    if (const std::optional<QString> problem = stats::surveyOptionsProblem(surveyOptions)) {
        return io.talk.usage(*problem);
    }
    const QString pdf = *options.pdf;
    if (pdf == kStandardStream) {
        return io.talk.usage(
            QStringLiteral("report writes its PDF to a file, not to standard "
                           "output: give --pdf a file name"));
    }
    if (const std::optional<QString> twice = stdinTwice(args.files)) {
        return io.talk.usage(*twice);
    }
    const Outcome<ChosenMethods> chosen = chosenMethods(options, args);
    if (!chosen) {
        return io.talk.refused(chosen.refusal());
    }
    survey::ReportAssessments assessments;
    assessments.backgroundOptions = chosen->background;
    assessments.ratingOptions = chosen->rating;
    assessments.exposureOptions = chosen->exposure;
    assessments.loudEventOptions = chosen->events;
    assessments.limitOptions = chosen->limits;
    const stats::SurveyRecords records = stats::readSurvey(readPaths(args.files), zone);
    if (records.error) {
        io.talk.error(stats::surveyReadFailureText(asGiven(*records.error), records.misdated));
        return kFileFailure;
    }
    // What the report is made with, and its files hashed: its last page and metadata.
    const Outcome<assess::Manifest> manifest =
        assessManifest(QStringLiteral("report"), args, args.files);
    if (!manifest) {
        return io.talk.refused(manifest.refusal());
    }
    survey::ReportContent content =
        survey::reportContent(records, surveyOptions, std::move(assessments));
    content.manifest = *manifest;
    survey::ReportOptions report;
    report.madeAt = QDateTime::currentDateTime();
    for (const QString& line : content.result.overruled) {
        io.talk.say(line);
    }
    if (content.result.mixedStates) {
        io.talk.say(*content.result.mixedStates);
    }
    if (const std::optional<QString> failed = survey::writeSurveyReport(content, report, pdf)) {
        io.talk.error(*failed);
        return kFileFailure;
    }
    io.talk.say(QStringLiteral("Report written to %1").arg(pdf));
    return kOk;
}

}  // namespace lp::cli
