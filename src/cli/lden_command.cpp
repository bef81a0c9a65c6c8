// lden: Lday, Levening, Lnight and Lden of a survey.
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

std::vector<OptionRow> ldenRows(SurveyFlags& o) {
    return {surveyRow(QStringLiteral("day"), o),       surveyRow(QStringLiteral("evening"), o),
            surveyRow(QStringLiteral("night"), o),     surveyRow(QStringLiteral("penalties"), o),
            surveyRow(QStringLiteral("exclude"), o),   surveyRow(QStringLiteral("adjust"), o),
            surveyRow(QStringLiteral("weighting"), o), surveyRow(QStringLiteral("response"), o),
            surveyRow(QStringLiteral("json"), o)};
}

int runLden(const SurveyFlags& flags, const ReadArguments& args, CommandIo& io) {
    const Outcome<Format> format = formatOf(flags);
    if (!format) {
        return io.talk.refused(format.refusal());
    }
    const Outcome<stats::SurveyResult> analysed =
        analyse(QStringLiteral("lden"), flags, args.files, io, Table::DayParts);
    if (!analysed) {
        return io.talk.refused(analysed.refusal());
    }
    const stats::DenLevels& den = analysed->den;
    if (*format == Format::Json) {
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
        QJsonObject body{
            {QStringLiteral("days"), days},
            {QStringLiteral("overall"), levels(den.overall)},
        };
        putLevelKind(body, analysed->notation, analysed->adjust);
        return writtenJson(io, body);
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
    if (const QByteArray head = adjustHead(flags, analysed->adjust); !head.isEmpty()) {
        out.bytes().append(head + '\n');
    }
    writeTable(out, TableForm::Aligned,
               {"Date", "Lday", "Levening", "Lnight", "Lden", "Day cov.", "Evening cov.",
                "Night cov.", "Out of range"},
               qsizetype(den.days.size()) + 1, row);
    return kOk;
}

}  // namespace

Command ldenCommand() {
    return commandOf<SurveyFlags>(
        {QStringLiteral("lden"), QStringLiteral("FILE..."),
         QStringLiteral("Lday, Levening, Lnight and Lden of a survey, per day and overall."),
         QStringLiteral("The files as one survey in time order: Lday, Levening, Lnight and\n"
                        "Lden with each part's coverage, per day and over all days. Coverage\n"
                        "counts the time from the first record to the end of the last. In\n"
                        "JSON levels are numbers rounded to 0.1 dB, coverage a fraction 0..1\n"
                        "(3 decimals), null where there is no value, with \"weighting\",\n"
                        "\"response\" and \"adjust\" at the top."),
         QStringLiteral("lden --penalties 5,10 --json week/*.sdm")},
        Operands::Files, ldenRows, runLden, Profiles::Taken);
}

}  // namespace lp::cli
