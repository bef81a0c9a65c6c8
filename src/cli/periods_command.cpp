// periods: the figures of each period of a survey.
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

std::vector<OptionRow> periodsRows(SurveyFlags& o) {
    return {surveyRow(QStringLiteral("every"), o),    surveyRow(QStringLiteral("exclude"), o),
            surveyRow(QStringLiteral("adjust"), o),   surveyRow(QStringLiteral("weighting"), o),
            surveyRow(QStringLiteral("response"), o), surveyRow(QStringLiteral("json"), o),
            surveyRow(QStringLiteral("csv"), o)};
}

int runPeriods(const SurveyFlags& flags, const ReadArguments& args, CommandIo& io) {
    const Outcome<Format> format = formatOf(flags);
    if (!format) {
        return io.talk.refused(format.refusal());
    }
    const Outcome<stats::SurveyResult> analysed =
        analyse(QStringLiteral("periods"), flags, args.files, io, Table::Periods);
    if (!analysed) {
        return io.talk.refused(analysed.refusal());
    }
    const stats::SurveyResult& result = *analysed;
    if (result.periods.refused) {
        return io.talk.usage(*result.periods.refused);
    }
    const qint64 leftOut = result.undated + result.leftOut;
    const std::vector<stats::SurveyPeriod>& list = result.periods.list;
    LocalTimeText times(result.zone);
    if (*format == Format::Json) {
        QJsonArray periods;
        for (const stats::SurveyPeriod& p : list) {
            periods.append(periodJson(p, times));
        }
        QJsonObject body{
            {QStringLiteral("interval_s"), countJson(result.interval)},
            {QStringLiteral("left_out"), leftOut},
            {QStringLiteral("excluded"), result.excluded},
            {QStringLiteral("periods"), periods},
        };
        putLevelKind(body, result.notation, result.adjust);
        return writtenJson(io, body);
    }
    const bool csv = *format == Format::Csv;
    const bool adjustColumn = csv && flags.adjust.has_value();
    const double adjust = result.adjust;
    const auto row = [&list, &times, csv, adjustColumn, adjust](qsizetype i, TableRow& cells) {
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
        if (adjustColumn) {
            cells.figure(adjust, kLevelDecimals);
        }
    };
    OutputBytes out(io.out);
    if (csv) {
        QList<QByteArrayView> header{"start", "end",  "records",    "coverage",
                                     "leq",   "lmax", "lmin",       "l10",
                                     "l50",   "l90",  "over_range", "under_range"};
        if (adjustColumn) {
            header << "adjust_db";
        }
        writeTable(out, TableForm::Csv, header, qsizetype(list.size()), row);
        return kOk;
    }
    const QString interval =
        result.interval ? QStringLiteral("%1 s").arg(*result.interval) : stats::kNoValue;
    out.bytes().append(adjustHead(flags, result.adjust));
    out.bytes().append(QStringLiteral("Interval: %1\nLeft out: %2\nExcluded: %3\n\n")
                           .arg(interval)
                           .arg(leftOut)
                           .arg(result.excluded)
                           .toUtf8());
    const stats::Notation& n = result.notation;
    const qint64 length = result.periods.length;
    const QByteArray labels[] = {levelHeader(n, stats::Figure::Leq, 0, length),
                                 levelHeader(n, stats::Figure::Lmax),
                                 levelHeader(n, stats::Figure::Lmin),
                                 levelHeader(n, stats::Figure::Exceeded, 10, length),
                                 levelHeader(n, stats::Figure::Exceeded, 50, length),
                                 levelHeader(n, stats::Figure::Exceeded, 90, length)};
    writeTable(out, TableForm::Aligned,
               {"Start", "End", "Records", "Coverage", labels[0], labels[1], labels[2], labels[3],
                labels[4], labels[5], "Out of range"},
               qsizetype(list.size()), row);
    return kOk;
}

}  // namespace

Command periodsCommand() {
    return commandOf<SurveyFlags>(
        {QStringLiteral("periods"), QStringLiteral("FILE..."),
         QStringLiteral("Leq, Lmax, Lmin, L10, L50, L90 of each period of a survey."),
         QStringLiteral("The files as one survey in time order, in periods aligned to local\n"
                        "midnight: start, end, records, coverage, Leq, Lmax, Lmin, L10, L50,\n"
                        "L90 of each (LN: the level exceeded for N % of the time, the 100-N %\n"
                        "percentile interpolated between the levels in order). In JSON levels\n"
                        "are numbers rounded to 0.1 dB, coverage a fraction 0..1 (3\n"
                        "decimals), null where there is no value, with \"weighting\",\n"
                        "\"response\" (from FILE.meta or --weighting, --response; null where\n"
                        "not known or mixed) and \"adjust\"; with --adjust the CSV ends in\n"
                        "an adjust_db column. FILE - is standard input."),
         QStringLiteral("periods --every 15min --csv day1.sdm day2.sdm")},
        Operands::Files, periodsRows, runPeriods, Profiles::Taken);
}

}  // namespace lp::cli
