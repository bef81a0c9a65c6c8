// The survey commands: periods, lden and events.
#include "app/cli/survey_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <variant>

#include "app/cli/survey_arguments.h"
#include "app/cli/survey_output.h"
#include "stats/figure_text.h"
#include "stats/survey.h"

namespace lp::app::cli {
namespace {

enum class Format { Text, Json, Csv };

// Reads the options and the files and analyses them; on a mistake or a failure it has
// said so and returns the exit status.
std::variant<stats::SurveyResult, int> analyse(const QString& command, const Arguments& args,
                                               CommandIo& io, bool events) {
    if (args.files.isEmpty()) {
        usageError(io.err, QStringLiteral("%1 needs at least one FILE").arg(command));
        return kUsageError;
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const std::variant<stats::SurveyOptions, UsageMistake> options =
        readSurveyOptions(args, events, zone);
    if (const auto* wrong = std::get_if<UsageMistake>(&options)) {
        usageError(io.err, wrong->message);
        return kUsageError;
    }
    const stats::SurveyOptions& chosen = std::get<stats::SurveyOptions>(options);
    if (const std::optional<QString> problem = stats::surveyOptionsProblem(chosen)) {
        usageError(io.err, *problem);
        return kUsageError;
    }
    const stats::SurveyRecords read = stats::readSurvey(args.files, zone);
    if (read.error) {
        failure(io.err, stats::surveyReadFailureText(*read.error));
        return kFileFailure;
    }
    return stats::analyseSurvey(read, chosen);
}

std::variant<Format, int> formatOf(const Arguments& args, CommandIo& io, bool csv) {
    const bool json = args.has(QStringLiteral("json"));
    if (csv && json && args.has(QStringLiteral("csv"))) {
        usageError(io.err, QStringLiteral("--json and --csv cannot be given together"));
        return kUsageError;
    }
    return json                                     ? Format::Json
           : csv && args.has(QStringLiteral("csv")) ? Format::Csv
                                                    : Format::Text;
}

int written(CommandIo& io, const QString& text) {
    io.out << text;
    io.out.flush();
    return kOk;
}

int writtenJson(CommandIo& io, const QJsonObject& object) {
    return written(io, QString::fromUtf8(QJsonDocument(object).toJson()));
}

QJsonValue countJson(const std::optional<qint64>& count) {
    return count ? QJsonValue(*count) : QJsonValue(QJsonValue::Null);
}

}  // namespace

int runPeriods(const Arguments& args, CommandIo& io) {
    const std::variant<Format, int> format = formatOf(args, io, true);
    if (const int* status = std::get_if<int>(&format)) {
        return *status;
    }
    std::variant<stats::SurveyResult, int> analysed =
        analyse(QStringLiteral("periods"), args, io, false);
    if (const int* status = std::get_if<int>(&analysed)) {
        return *status;
    }
    const stats::SurveyResult& result = std::get<stats::SurveyResult>(analysed);
    if (result.periods.refused) {
        usageError(io.err, *result.periods.refused);
        return kUsageError;
    }
    const qint64 leftOut = result.undated + result.leftOut;
    if (std::get<Format>(format) == Format::Json) {
        QJsonArray periods;
        for (const stats::SurveyPeriod& p : result.periods.list) {
            periods.append(QJsonObject{
                {QStringLiteral("start"), localTimeText(p.start, result.zone)},
                {QStringLiteral("end"), localTimeText(p.end, result.zone)},
                {QStringLiteral("records"), p.records},
                {QStringLiteral("coverage"), coverageJson(p.coverage)},
                {QStringLiteral("leq"), levelJson(p.leq)},
                {QStringLiteral("lmax"), levelJson(p.lmax)},
                {QStringLiteral("lmin"), levelJson(p.lmin)},
                {QStringLiteral("l10"), levelJson(p.l10)},
                {QStringLiteral("l50"), levelJson(p.l50)},
                {QStringLiteral("l90"), levelJson(p.l90)},
            });
        }
        return writtenJson(io, QJsonObject{
                                   {QStringLiteral("interval_s"), countJson(result.interval)},
                                   {QStringLiteral("left_out"), leftOut},
                                   {QStringLiteral("excluded"), result.excluded},
                                   {QStringLiteral("periods"), periods},
                               });
    }
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(result.periods.list.size()));
    for (const stats::SurveyPeriod& p : result.periods.list) {
        rows.append({localTimeText(p.start, result.zone), localTimeText(p.end, result.zone),
                     QString::number(p.records), coverageCell(p.coverage), levelCell(p.leq),
                     levelCell(p.lmax), levelCell(p.lmin), levelCell(p.l10), levelCell(p.l50),
                     levelCell(p.l90)});
    }
    if (std::get<Format>(format) == Format::Csv) {
        return written(
            io, csvTable({QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("records"),
                          QStringLiteral("coverage"), QStringLiteral("leq"), QStringLiteral("lmax"),
                          QStringLiteral("lmin"), QStringLiteral("l10"), QStringLiteral("l50"),
                          QStringLiteral("l90")},
                         rows));
    }
    const QString interval =
        result.interval ? QStringLiteral("%1 s").arg(*result.interval) : stats::kNoValue;
    return written(
        io, QStringLiteral("Interval: %1\nLeft out: %2\nExcluded: %3\n\n")
                    .arg(interval)
                    .arg(leftOut)
                    .arg(result.excluded) +
                alignedTable({QStringLiteral("Start"), QStringLiteral("End"),
                              QStringLiteral("Records"), QStringLiteral("Coverage"),
                              QStringLiteral("Leq"), QStringLiteral("Lmax"), QStringLiteral("Lmin"),
                              QStringLiteral("L10"), QStringLiteral("L50"), QStringLiteral("L90")},
                             rows));
}

int runLden(const Arguments& args, CommandIo& io) {
    const std::variant<Format, int> format = formatOf(args, io, false);
    if (const int* status = std::get_if<int>(&format)) {
        return *status;
    }
    std::variant<stats::SurveyResult, int> analysed =
        analyse(QStringLiteral("lden"), args, io, false);
    if (const int* status = std::get_if<int>(&analysed)) {
        return *status;
    }
    const stats::DenLevels& den = std::get<stats::SurveyResult>(analysed).den;
    if (std::get<Format>(format) == Format::Json) {
        QJsonArray days;
        for (const stats::DayLevels& d : den.days) {
            days.append(QJsonObject{
                {QStringLiteral("date"), d.date.toString(Qt::ISODate)},
                {QStringLiteral("lday"), levelJson(d.day.leq)},
                {QStringLiteral("levening"), levelJson(d.evening.leq)},
                {QStringLiteral("lnight"), levelJson(d.night.leq)},
                {QStringLiteral("lden"), levelJson(d.lden)},
                {QStringLiteral("coverage"),
                 QJsonObject{{QStringLiteral("day"), coverageJson(d.day.coverage)},
                             {QStringLiteral("evening"), coverageJson(d.evening.coverage)},
                             {QStringLiteral("night"), coverageJson(d.night.coverage)}}},
            });
        }
        const stats::DayLevels& all = den.overall;
        return writtenJson(
            io, QJsonObject{
                    {QStringLiteral("days"), days},
                    {QStringLiteral("overall"),
                     QJsonObject{{QStringLiteral("lday"), levelJson(all.day.leq)},
                                 {QStringLiteral("levening"), levelJson(all.evening.leq)},
                                 {QStringLiteral("lnight"), levelJson(all.night.leq)},
                                 {QStringLiteral("lden"), levelJson(all.lden)}}},
                });
    }
    QList<QStringList> rows;
    const auto row = [&rows](const QString& caption, const stats::DayLevels& d) {
        rows.append({caption, levelCell(d.day.leq), levelCell(d.evening.leq),
                     levelCell(d.night.leq), levelCell(d.lden), coverageCell(d.day.coverage),
                     coverageCell(d.evening.coverage), coverageCell(d.night.coverage)});
    };
    for (const stats::DayLevels& d : den.days) {
        row(d.date.toString(Qt::ISODate), d);
    }
    row(QStringLiteral("All days"), den.overall);
    return written(io, alignedTable({QStringLiteral("Date"), QStringLiteral("Lday"),
                                     QStringLiteral("Levening"), QStringLiteral("Lnight"),
                                     QStringLiteral("Lden"), QStringLiteral("Day cov."),
                                     QStringLiteral("Evening cov."), QStringLiteral("Night cov.")},
                                    rows));
}

int runEvents(const Arguments& args, CommandIo& io) {
    const std::variant<Format, int> format = formatOf(args, io, true);
    if (const int* status = std::get_if<int>(&format)) {
        return *status;
    }
    std::variant<stats::SurveyResult, int> analysed =
        analyse(QStringLiteral("events"), args, io, true);
    if (const int* status = std::get_if<int>(&analysed)) {
        return *status;
    }
    const stats::SurveyResult& result = std::get<stats::SurveyResult>(analysed);
    if (std::get<Format>(format) == Format::Json) {
        QJsonArray events;
        for (const stats::LevelEvent& e : result.events) {
            events.append(QJsonObject{
                {QStringLiteral("start"), localTimeText(e.start, result.zone)},
                {QStringLiteral("end"), localTimeText(e.end, result.zone)},
                {QStringLiteral("duration_s"), e.duration},
                {QStringLiteral("lmax"), levelJson(e.lmax)},
                {QStringLiteral("leq"), levelJson(e.leq)},
                {QStringLiteral("sel"), levelJson(e.sel)},
            });
        }
        return writtenJson(io, QJsonObject{{QStringLiteral("events"), events}});
    }
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(result.events.size()));
    for (const stats::LevelEvent& e : result.events) {
        rows.append({localTimeText(e.start, result.zone), localTimeText(e.end, result.zone),
                     QString::number(e.duration), levelCell(e.lmax), levelCell(e.leq),
                     levelCell(e.sel)});
    }
    if (std::get<Format>(format) == Format::Csv) {
        return written(io, csvTable({QStringLiteral("start"), QStringLiteral("end"),
                                     QStringLiteral("duration_s"), QStringLiteral("lmax"),
                                     QStringLiteral("leq"), QStringLiteral("sel")},
                                    rows));
    }
    return written(io, alignedTable({QStringLiteral("Start"), QStringLiteral("End"),
                                     QStringLiteral("Duration (s)"), QStringLiteral("Lmax"),
                                     QStringLiteral("Leq"), QStringLiteral("SEL")},
                                    rows) +
                           QStringLiteral("%1 event(s)\n").arg(result.events.size()));
}

}  // namespace lp::app::cli
