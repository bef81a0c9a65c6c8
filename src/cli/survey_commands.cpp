// The survey commands: periods, lden and events.
#include "cli/survey_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <variant>

#include "cli/kit/std_paths.h"
#include "cli/kit/text_table.h"
#include "cli/survey_arguments.h"
#include "cli/survey_output.h"
#include "stats/figure_text.h"
#include "stats/survey.h"

namespace lp::cli {
namespace {

enum class Format { Text, Json, Csv };
// The table a command prints, the only one worked out.
enum class Table { Periods, DayParts, Events };

// Reads the options and the files and analyses them; on a mistake or a failure it has
// said so and returns the exit status.
std::variant<stats::SurveyResult, int> analyse(const QString& command, const Arguments& args,
                                               CommandIo& io, Table table) {
    if (args.files.isEmpty()) {
        usageError(io.err, QStringLiteral("%1 needs at least one FILE").arg(command));
        return kUsageError;
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const std::variant<stats::SurveyOptions, UsageMistake> options =
        readSurveyOptions(args, table == Table::Events, zone);
    if (const auto* wrong = std::get_if<UsageMistake>(&options)) {
        usageError(io.err, wrong->message);
        return kUsageError;
    }
    stats::SurveyOptions chosen = std::get<stats::SurveyOptions>(options);
    chosen.withPeriods = table == Table::Periods;
    chosen.withDayParts = table == Table::DayParts;
    if (const std::optional<QString> problem = stats::surveyOptionsProblem(chosen)) {
        usageError(io.err, *problem);
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
    if (read.repeated + read.conflicting > 0) {
        tell(io, QStringLiteral("%1 record(s) at an instant read before were left out: %2 "
                                "repeated (the same level), %3 conflicting (another level); "
                                "the first record read counts")
                     .arg(read.repeated + read.conflicting)
                     .arg(read.repeated)
                     .arg(read.conflicting));
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

}  // namespace

QList<Option> reportOptions() {
    return {{QStringLiteral("pdf"), Option::Takes::NonEmptyValue, QStringLiteral("a file name")},
            {QStringLiteral("every")},
            {QStringLiteral("above")},
            {QStringLiteral("min-duration")},
            {QStringLiteral("bridge")},
            {QStringLiteral("day")},
            {QStringLiteral("evening")},
            {QStringLiteral("night")},
            {QStringLiteral("penalties")},
            {QStringLiteral("exclude"), Option::Takes::NonEmptyValue, QStringLiteral("FROM/TO")}};
}

int runPeriods(const Arguments& args, CommandIo& io) {
    const std::variant<Format, int> format = formatOf(args, io, true);
    if (const int* status = std::get_if<int>(&format)) {
        return *status;
    }
    std::variant<stats::SurveyResult, int> analysed =
        analyse(QStringLiteral("periods"), args, io, Table::Periods);
    if (const int* status = std::get_if<int>(&analysed)) {
        return *status;
    }
    const stats::SurveyResult& result = std::get<stats::SurveyResult>(analysed);
    if (result.periods.refused) {
        usageError(io.err, *result.periods.refused);
        return kUsageError;
    }
    const qint64 leftOut = result.undated + result.leftOut;
    const std::vector<stats::SurveyPeriod>& list = result.periods.list;
    LocalTimeText times(result.zone);
    if (std::get<Format>(format) == Format::Json) {
        QJsonArray periods;
        for (const stats::SurveyPeriod& p : list) {
            periods.append(QJsonObject{
                {QStringLiteral("start"), times.text(p.start)},
                {QStringLiteral("end"), times.text(p.end)},
                {QStringLiteral("records"), p.records},
                {QStringLiteral("over_range"), p.outOfRange.over},
                {QStringLiteral("under_range"), p.outOfRange.under},
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
    const bool csv = std::get<Format>(format) == Format::Csv;
    const auto row = [&list, &times, csv](qsizetype i, TableRow& cells) {
        const stats::SurveyPeriod& p = list[size_t(i)];
        cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), p.start));
        cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), p.end));
        cells.number(p.records);
        cells.figure(p.coverage, kCoverageDecimals);
        for (const std::optional<double>& level : {p.leq, p.lmax, p.lmin, p.l10, p.l50, p.l90}) {
            cells.figure(level, kLevelDecimals);
        }
        if (csv) {
            cells.number(p.outOfRange.over);
            cells.number(p.outOfRange.under);
        } else {
            rangeCell(cells, p.outOfRange);
        }
    };
    OutputBytes out(io.out);
    if (csv) {
        writeTable(out, TableForm::Csv,
                   {"start", "end", "records", "coverage", "leq", "lmax", "lmin", "l10", "l50",
                    "l90", "over_range", "under_range"},
                   qsizetype(list.size()), row);
        return kOk;
    }
    const QString interval =
        result.interval ? QStringLiteral("%1 s").arg(*result.interval) : stats::kNoValue;
    out.bytes().append(QStringLiteral("Interval: %1\nLeft out: %2\nExcluded: %3\n\n")
                           .arg(interval)
                           .arg(leftOut)
                           .arg(result.excluded)
                           .toUtf8());
    writeTable(out, TableForm::Aligned,
               {"Start", "End", "Records", "Coverage", "Leq", "Lmax", "Lmin", "L10", "L50", "L90",
                "Out of range"},
               qsizetype(list.size()), row);
    return kOk;
}

int runLden(const Arguments& args, CommandIo& io) {
    const std::variant<Format, int> format = formatOf(args, io, false);
    if (const int* status = std::get_if<int>(&format)) {
        return *status;
    }
    std::variant<stats::SurveyResult, int> analysed =
        analyse(QStringLiteral("lden"), args, io, Table::DayParts);
    if (const int* status = std::get_if<int>(&analysed)) {
        return *status;
    }
    const stats::DenLevels& den = std::get<stats::SurveyResult>(analysed).den;
    if (std::get<Format>(format) == Format::Json) {
        // The levels and coverages of one day, or of all days without a date.
        const auto levels = [](const stats::DayLevels& d) {
            return QJsonObject{
                {QStringLiteral("lday"), levelJson(d.day.leq)},
                {QStringLiteral("levening"), levelJson(d.evening.leq)},
                {QStringLiteral("lnight"), levelJson(d.night.leq)},
                {QStringLiteral("lden"), levelJson(d.lden)},
                {QStringLiteral("coverage"),
                 QJsonObject{{QStringLiteral("day"), coverageJson(d.day.coverage)},
                             {QStringLiteral("evening"), coverageJson(d.evening.coverage)},
                             {QStringLiteral("night"), coverageJson(d.night.coverage)}}},
                {QStringLiteral("over_range"), partCounts(d, &stats::OutOfRange::over)},
                {QStringLiteral("under_range"), partCounts(d, &stats::OutOfRange::under)},
            };
        };
        QJsonArray days;
        for (const stats::DayLevels& d : den.days) {
            QJsonObject day = levels(d);
            day.insert(QStringLiteral("date"), d.date.toString(Qt::ISODate));
            days.append(day);
        }
        return writtenJson(io, QJsonObject{
                                   {QStringLiteral("days"), days},
                                   {QStringLiteral("overall"), levels(den.overall)},
                               });
    }
    // The days, then all days together.
    const auto row = [&den](qsizetype i, TableRow& cells) {
        const bool overall = size_t(i) == den.days.size();
        const stats::DayLevels& d = overall ? den.overall : den.days[size_t(i)];
        if (overall) {
            cells.cell("All days");
        } else {
            cells.cell(d.date.toString(Qt::ISODate).toLatin1());
        }
        for (const std::optional<double>& level : {d.day.leq, d.evening.leq, d.night.leq, d.lden}) {
            cells.figure(level, kLevelDecimals);
        }
        for (const std::optional<double>& coverage :
             {d.day.coverage, d.evening.coverage, d.night.coverage}) {
            cells.figure(coverage, kCoverageDecimals);
        }
        rangeCell(cells, d.outOfRange());
    };
    OutputBytes out(io.out);
    writeTable(out, TableForm::Aligned,
               {"Date", "Lday", "Levening", "Lnight", "Lden", "Day cov.", "Evening cov.",
                "Night cov.", "Out of range"},
               qsizetype(den.days.size()) + 1, row);
    return kOk;
}

int runEvents(const Arguments& args, CommandIo& io) {
    const std::variant<Format, int> format = formatOf(args, io, true);
    if (const int* status = std::get_if<int>(&format)) {
        return *status;
    }
    std::variant<stats::SurveyResult, int> analysed =
        analyse(QStringLiteral("events"), args, io, Table::Events);
    if (const int* status = std::get_if<int>(&analysed)) {
        return *status;
    }
    const stats::SurveyResult& result = std::get<stats::SurveyResult>(analysed);
    const platform::LargeVector<stats::LevelEvent>& events = result.events;
    LocalTimeText times(result.zone);
    if (std::get<Format>(format) == Format::Json) {
        QJsonArray list;
        for (const stats::LevelEvent& e : events) {
            list.append(QJsonObject{
                {QStringLiteral("start"), times.text(e.start)},
                {QStringLiteral("end"), times.text(e.end)},
                {QStringLiteral("duration_s"), e.duration},
                {QStringLiteral("lmax"), levelJson(e.lmax)},
                {QStringLiteral("leq"), levelJson(e.leq)},
                {QStringLiteral("sel"), levelJson(e.sel)},
                {QStringLiteral("over_range"), e.outOfRange.over},
                {QStringLiteral("under_range"), e.outOfRange.under},
            });
        }
        return writtenJson(io, QJsonObject{{QStringLiteral("events"), list}});
    }
    const bool csv = std::get<Format>(format) == Format::Csv;
    const auto row = [&events, &times, csv](qsizetype i, TableRow& cells) {
        const stats::LevelEvent& e = events[size_t(i)];
        cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), e.start));
        cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), e.end));
        cells.number(e.duration);
        cells.figure(e.lmax, kLevelDecimals);
        cells.figure(e.leq, kLevelDecimals);
        cells.figure(e.sel, kLevelDecimals);
        if (csv) {
            cells.number(e.outOfRange.over);
            cells.number(e.outOfRange.under);
        } else {
            rangeCell(cells, e.outOfRange);
        }
    };
    OutputBytes out(io.out);
    if (csv) {
        writeTable(
            out, TableForm::Csv,
            {"start", "end", "duration_s", "lmax", "leq", "sel", "over_range", "under_range"},
            qsizetype(events.size()), row);
        return kOk;
    }
    writeTable(out, TableForm::Aligned,
               {"Start", "End", "Duration (s)", "Lmax", "Leq", "SEL", "Out of range"},
               qsizetype(events.size()), row);
    tell(io, QStringLiteral("%1 event(s)").arg(qsizetype(events.size())));
    return kOk;
}

}  // namespace lp::cli
