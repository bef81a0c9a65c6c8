#include "cli/assess_survey.h"

#include <QFileInfo>

#include "cli/kit/numbers.h"
#include "cli/kit/std_paths.h"
#include "cli/survey_commands.h"
#include "platform/version.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

// The survey's records read and counted, with the states of the counted records.
void countSurvey(AssessSurvey& survey) {
    qint64 excluded = 0;
    survey.samples = stats::countedSamples(survey.records, survey.options, excluded);
    stats::SurveyStates states =
        stats::surveyStates(survey.records, survey.options.declared, survey.options.exclusions);
    survey.notation = states.notation;
    survey.mixedStates = std::move(states.mixed);
    survey.overruled = std::move(states.overruled);
}

}  // namespace

std::vector<OptionRow> assessRows(AssessFlags& flags, bool coverage, bool csv) {
    std::vector<OptionRow> rows{surveyRow(QStringLiteral("exclude"), flags.survey),
                                surveyRow(QStringLiteral("adjust"), flags.survey),
                                surveyRow(QStringLiteral("weighting"), flags.survey),
                                surveyRow(QStringLiteral("response"), flags.survey)};
    if (coverage) {
        rows.push_back(text(QStringLiteral("min-coverage"), QStringLiteral("0.75"),
                            flags.minCoverage,
                            QStringLiteral("The least share of an interval the records must "
                                           "cover for it to be used, 0..1 (default 0.75).")));
    }
    rows.push_back(surveyRow(QStringLiteral("json"), flags.survey));
    if (csv) {
        rows.push_back(surveyRow(QStringLiteral("csv"), flags.survey));
    }
    return rows;
}

Outcome<AssessSurvey> readAssessSurvey(const QString& command, const AssessFlags& flags,
                                       const QStringList& files, CommandIo& io, bool events) {
    if (files.isEmpty()) {
        return usageMistake(QStringLiteral("%1 needs at least one FILE").arg(command));
    }
    if (const Outcome<Format> format = formatOf(flags.survey); !format) {
        return format.refusal();
    }
    AssessSurvey survey;
    if (flags.minCoverage) {
        const std::optional<double> share = decimalOf(*flags.minCoverage);
        if (!share || *share < 0.0 || *share > 1.0) {
            return usageMistake(
                QStringLiteral("--min-coverage takes a share from 0 to 1 (like 0.75), not '%1'")
                    .arg(*flags.minCoverage));
        }
        survey.minCoverage = *share;
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    Outcome<stats::SurveyOptions> options = readSurveyOptions(flags.survey, events, zone);
    if (!options) {
        return options.refusal();
    }
    survey.options = *options;
    if (const std::optional<QString> problem = stats::surveyOptionsProblem(survey.options)) {
        return usageMistake(*problem);
    }
    const Outcome<stats::Notation> declared = readDeclaredNotation(flags.survey);
    if (!declared) {
        return declared.refusal();
    }
    survey.options.declared = *declared;
    if (const std::optional<QString> twice = stdinTwice(files)) {
        return usageMistake(*twice);
    }
    survey.records = stats::readSurvey(readPaths(files), zone);
    if (survey.records.error) {
        return failed(
            stats::surveyReadFailureText(asGiven(*survey.records.error), survey.records.misdated));
    }
    if (survey.records.repeated + survey.records.conflicting > 0) {
        io.talk.say(QStringLiteral("%1 record(s) at an instant read before were left out")
                        .arg(survey.records.repeated + survey.records.conflicting));
    }
    countSurvey(survey);
    for (const QString& line : survey.overruled) {
        io.talk.say(line);
    }
    if (survey.mixedStates) {
        io.talk.say(*survey.mixedStates);
    }
    return survey;
}

Outcome<AssessSurvey> readOtherSurvey(const AssessSurvey& main, const QStringList& files) {
    if (const std::optional<QString> twice = stdinTwice(files)) {
        return usageMistake(*twice);
    }
    AssessSurvey survey;
    survey.options = main.options;
    survey.minCoverage = main.minCoverage;
    survey.records = stats::readSurvey(readPaths(files), main.records.days.zone());
    if (survey.records.error) {
        return failed(
            stats::surveyReadFailureText(asGiven(*survey.records.error), survey.records.misdated));
    }
    countSurvey(survey);
    return survey;
}

Outcome<assess::Manifest> assessManifest(const QString& command, const ReadArguments& args,
                                         const QStringList& files) {
    assess::Manifest manifest;
    manifest.program = kProgramName;
    manifest.version = platform::kVersion;
    manifest.commandLine << kProgramName << command.split(u' ') << args.typed;
    manifest.options = assess::manifestOptions(args.options);
    Outcome<std::optional<assess::ManifestProfile>> profile = manifestProfileOf(args.options);
    if (!profile) {
        return profile.refusal();
    }
    manifest.profile = std::move(*profile);
    for (const QString& file : files) {
        if (file == QStringLiteral("-")) {
            manifest.files.push_back({file, 0, QString()});  // standard input: no hash
            continue;
        }
        std::variant<std::vector<assess::ManifestFile>, QString> hashed =
            assess::hashedFiles({file});
        if (const QString* failure = std::get_if<QString>(&hashed)) {
            return failed(*failure);
        }
        manifest.files.push_back(std::get<0>(hashed).front());
    }
    return manifest;
}

int writtenAssessment(CommandIo& io, const AssessSurvey& survey, const assess::Manifest& manifest,
                      QJsonObject body) {
    putLevelKind(body, survey.notation, survey.options.adjust);
    body.insert(QStringLiteral("manifest"), assess::manifestJson(manifest));
    return writtenJson(io, body);
}

QByteArray assessmentHead(const QString& title, const AssessSurvey& survey) {
    QStringList names;
    for (const QString& file : survey.records.files) {
        names << QFileInfo(file).fileName();
    }
    const stats::Notation& notation = survey.notation;
    const QString weighting = notation.weighting ? records::weightingLetter(*notation.weighting) +
                                                       QStringLiteral(" weighting")
                                                 : QStringLiteral("weighting not known");
    const QString response =
        notation.response ? (*notation.response == records::Response::Fast ? QStringLiteral("FAST")
                                                                           : QStringLiteral("SLOW"))
                          : QStringLiteral("response not known");
    QString head = title + u'\n' + QStringLiteral("Files: ") + names.join(QStringLiteral(", ")) +
                   u'\n' + QStringLiteral("Levels: %1, %2").arg(weighting, response);
    if (survey.options.adjust != 0.0) {
        head += QStringLiteral("; every level adjusted by %1 dB")
                    .arg((survey.options.adjust > 0 ? QStringLiteral("+") : QString()) +
                         stats::levelText(survey.options.adjust));
    }
    return (head + QStringLiteral("\n\n")).toUtf8();
}

}  // namespace lp::cli
