// The report command: the survey's PDF report, as the Survey window writes it.
#include "cli/report_command.h"

#include <QDateTime>
#include <variant>

#include "cli/kit/std_paths.h"
#include "cli/survey_arguments.h"
#include "survey/report_content.h"
#include "survey/survey_report.h"

namespace lp::cli {

int paintReport(const Arguments& args, CommandIo& io) {
    if (args.files.isEmpty()) {
        usageError(io.err, QStringLiteral("report needs at least one FILE"));
        return kUsageError;
    }
    if (!args.has(QStringLiteral("pdf"))) {
        usageError(io.err, QStringLiteral("report needs --pdf OUT"));
        return kUsageError;
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    // Events are listed when a threshold is given.
    const std::variant<stats::SurveyOptions, UsageMistake> options =
        readSurveyOptions(args, args.has(QStringLiteral("above")), zone);
    if (const auto* wrong = std::get_if<UsageMistake>(&options)) {
        usageError(io.err, wrong->message);
        return kUsageError;
    }
    const stats::SurveyOptions& chosen = std::get<stats::SurveyOptions>(options);
    if (const std::optional<QString> problem = stats::surveyOptionsProblem(chosen)) {
        usageError(io.err, *problem);
        return kUsageError;
    }
    const QString pdf = args.value(QStringLiteral("pdf"));
    if (pdf == kStandardStream) {
        usageError(io.err, QStringLiteral("report writes its PDF to a file, not to standard "
                                          "output: give --pdf a file name"));
        return kUsageError;
    }
    if (const std::optional<QString> twice = stdinTwice(args.files)) {
        usageError(io.err, *twice);
        return kUsageError;
    }
    const stats::SurveyRecords read = stats::readSurvey(readPaths(args.files), zone);
    if (read.error) {
        failure(io.err, stats::surveyReadFailureText(asGiven(*read.error), read.misdated));
        return kFileFailure;
    }
    survey::ReportOptions report;
    report.madeAt = QDateTime::currentDateTime();
    if (const std::optional<QString> failed =
            survey::writeSurveyReport(survey::reportContent(read, chosen), report, pdf)) {
        failure(io.err, *failed);
        return kFileFailure;
    }
    tell(io, QStringLiteral("Report written to %1").arg(pdf));
    return kOk;
}

}  // namespace lp::cli
