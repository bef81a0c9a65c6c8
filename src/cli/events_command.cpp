// events: the runs of levels above a threshold in a survey.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/commands.h"
#include "cli/kit/text_table.h"
#include "cli/survey_arguments.h"
#include "cli/survey_commands.h"
#include "cli/survey_output.h"
#include "stats/figure_text.h"
#include "stats/survey.h"

namespace lp::cli {
namespace {

std::vector<OptionRow> eventsRows(SurveyFlags& o) {
    return {surveyRow(QStringLiteral("above"), o).orRequired(),
            surveyRow(QStringLiteral("min-duration"), o),
            surveyRow(QStringLiteral("bridge"), o),
            surveyRow(QStringLiteral("exclude"), o),
            surveyRow(QStringLiteral("adjust"), o),
            surveyRow(QStringLiteral("weighting"), o),
            surveyRow(QStringLiteral("response"), o),
            surveyRow(QStringLiteral("json"), o),
            surveyRow(QStringLiteral("csv"), o)};
}

int runEvents(const SurveyFlags& flags, const ReadArguments& args, CommandIo& io) {
    const Outcome<Format> format = formatOf(flags);
    if (!format) {
        return io.talk.refused(format.refusal());
    }
    const Outcome<stats::SurveyResult> analysed =
        analyse(QStringLiteral("events"), flags, args.files, io, Table::Events);
    if (!analysed) {
        return io.talk.refused(analysed.refusal());
    }
    const stats::SurveyResult& result = *analysed;
    const platform::LargeVector<stats::LevelEvent>& events = result.events;
    LocalTimeText times(result.zone);
    if (*format == Format::Json) {
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
        QJsonObject body{{QStringLiteral("events"), list}};
        putLevelKind(body, result.notation, result.adjust);
        return writtenJson(io, body);
    }
    const bool csv = *format == Format::Csv;
    const bool adjustColumn = csv && flags.adjust.has_value();
    const double adjust = result.adjust;
    const auto row = [&events, &times, csv, adjustColumn, adjust](qsizetype i, TableRow& cells) {
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
        if (adjustColumn) {
            cells.figure(adjust, kLevelDecimals);
        }
    };
    OutputBytes out(io.out);
    if (csv) {
        QList<QByteArrayView> header{"start", "end", "duration_s", "lmax",
                                     "leq",   "sel", "over_range", "under_range"};
        if (adjustColumn) {
            header << "adjust_db";
        }
        writeTable(out, TableForm::Csv, header, qsizetype(events.size()), row);
        return kOk;
    }
    out.bytes().append(adjustHead(flags, result.adjust));
    if (flags.adjust) {
        out.bytes().append('\n');
    }
    const QByteArray lmax = levelHeader(result.notation, stats::Figure::Lmax);
    const QByteArray leq = levelHeader(result.notation, stats::Figure::Leq);
    writeTable(out, TableForm::Aligned,
               {"Start", "End", "Duration (s)", lmax, leq, "SEL", "Out of range"},
               qsizetype(events.size()), row);
    io.talk.say(QStringLiteral("%1 event(s)").arg(qsizetype(events.size())));
    return kOk;
}

}  // namespace

Command eventsCommand() {
    return commandOf<SurveyFlags>(
        {QStringLiteral("events"), QStringLiteral("FILE..."),
         QStringLiteral("The events of a survey: runs of levels at or above a threshold."),
         QStringLiteral("The files as one survey in time order: runs of levels at or above\n"
                        "L dB: start, end, duration, Lmax, Leq, SEL of each; their count on\n"
                        "stderr. JSON adds \"weighting\", \"response\" and \"adjust\"; with\n"
                        "--adjust the CSV ends in an adjust_db column."),
         QStringLiteral("events --above 80 --min-duration 5 day1.sdm")},
        Operands::Files, eventsRows, runEvents, Profiles::Taken);
}

}  // namespace lp::cli
