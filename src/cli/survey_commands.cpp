// What the survey commands (periods, lden, events; report in its own program) share:
// reading the files as one survey, the form of the output, the JSON around it.
#include "cli/survey_commands.h"

#include <QJsonDocument>

#include "cli/kit/std_paths.h"
#include "stats/figure_text.h"

namespace lp::cli {

Outcome<stats::SurveyResult> analyse(const QString& command, const SurveyFlags& flags,
                                     const QStringList& files, CommandIo& io, Table table) {
    if (files.isEmpty()) {
        return usageMistake(QStringLiteral("%1 needs at least one FILE").arg(command));
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    Outcome<stats::SurveyOptions> options = readSurveyOptions(flags, table == Table::Events, zone);
    if (!options) {
        return options.refusal();
    }
    stats::SurveyOptions chosen = *options;
    chosen.withPeriods = table == Table::Periods;
    chosen.withDayParts = table == Table::DayParts;
    if (const std::optional<QString> problem = stats::surveyOptionsProblem(chosen)) {
        return usageMistake(*problem);
    }
    if (const std::optional<QString> twice = stdinTwice(files)) {
        return usageMistake(*twice);
    }
    const Outcome<stats::Notation> declared = readDeclaredNotation(flags);
    if (!declared) {
        return declared.refusal();
    }
    chosen.declared = *declared;
    const stats::SurveyRecords read =
        stats::readSurvey(readPaths(files), zone, stats::SampleForm::Compact);
    if (read.error) {
        return failed(stats::surveyReadFailureText(asGiven(*read.error), read.misdated));
    }
    if (read.repeated + read.conflicting > 0) {
        io.talk.say(QStringLiteral("%1 record(s) at an instant read before were left out: %2 "
                                   "repeated (the same level), %3 conflicting (another level); "
                                   "the first record read counts")
                        .arg(read.repeated + read.conflicting)
                        .arg(read.repeated)
                        .arg(read.conflicting));
    }
    stats::SurveyResult result = stats::analyseSurvey(read, chosen);
    for (const QString& line : result.overruled) {
        io.talk.say(line);
    }
    if (result.mixedStates) {
        io.talk.say(*result.mixedStates);
    }
    return result;
}

void putLevelKind(QJsonObject& object, const stats::Notation& notation, double adjust) {
    object.insert(QStringLiteral("weighting"),
                  notation.weighting ? QJsonValue(records::weightingLetter(*notation.weighting))
                                     : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("response"),
                  notation.response ? QJsonValue(records::responseLetter(*notation.response))
                                    : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("adjust"), adjust);
}

QByteArray adjustHead(const SurveyFlags& flags, double adjust) {
    if (!flags.adjust) {
        return {};
    }
    return QStringLiteral("Adjust: %1 (added to every level)\n")
        .arg(stats::adjustText(adjust))
        .toUtf8();
}

QByteArray levelHeader(const stats::Notation& notation, stats::Figure figure, int percent,
                       std::optional<qint64> seconds) {
    return stats::figureLabel(notation, figure, percent, seconds).toLatin1();
}

Outcome<Format> formatOf(const SurveyFlags& flags) {
    if (flags.json && flags.csv) {
        return usageMistake(QStringLiteral("--json and --csv cannot be given together"));
    }
    return flags.json ? Format::Json : flags.csv ? Format::Csv : Format::Text;
}

int writtenJson(CommandIo& io, QJsonObject object) {
    object.insert(QStringLiteral("format"), kJsonFormat);
    OutputBytes out(io.out);
    out.bytes().append(QJsonDocument(object).toJson());
    return kOk;
}

QJsonValue countJson(const std::optional<qint64>& count) {
    return count ? QJsonValue(*count) : QJsonValue(QJsonValue::Null);
}

// One count of readings out of range for each part of a day.
QJsonObject partCounts(const stats::DayLevels& d, qint64 stats::OutOfRange::*count) {
    return {{QStringLiteral("day"), d.day.outOfRange.*count},
            {QStringLiteral("evening"), d.evening.outOfRange.*count},
            {QStringLiteral("night"), d.night.outOfRange.*count}};
}

// The out-of-range mark of a text table's row; empty (the no-value mark) for none.
void rangeCell(TableRow& cells, const stats::OutOfRange& readings) {
    cells.cell(stats::outOfRangeText(readings).toLatin1());
}

}  // namespace lp::cli
