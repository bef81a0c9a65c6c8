// assess limits: limits by time of day, and the WHO guideline values.
#include <QJsonArray>
#include <QJsonObject>

#include "assess/limits.h"
#include "cli/assess_limits_options.h"
#include "cli/assess_survey.h"
#include "cli/commands.h"
#include "cli/kit/numbers.h"
#include "cli/kit/text_table.h"
#include "cli/survey_commands.h"
#include "cli/survey_output.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

struct LimitsFlags {
    AssessFlags assess;
    LimitMethodFlags method;
};

const QString kCommand = QStringLiteral("assess limits");

std::vector<OptionRow> limitsRows(LimitsFlags& o) {
    std::vector<OptionRow> rows = limitMethodRows(o.method);
    for (OptionRow& row : assessRows(o.assess, true, true)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

QJsonValue aboveJson(const std::optional<bool>& above) {
    return above ? QJsonValue(*above) : QJsonValue(QJsonValue::Null);
}

QJsonObject guidelineJson(const assess::GuidelineResult& g) {
    return {{QStringLiteral("source"), assess::guidelineName(g.source)},
            {QStringLiteral("lden_value"), levelJson(g.ldenValue)},
            {QStringLiteral("lnight_value"), levelJson(g.lnightValue)},
            {QStringLiteral("lden"), levelJson(g.lden)},
            {QStringLiteral("lnight"), levelJson(g.lnight)},
            {QStringLiteral("lden_above"), aboveJson(g.ldenAbove)},
            {QStringLiteral("lnight_above"), aboveJson(g.lnightAbove)},
            {QStringLiteral("note"), assess::guidelineNote()}};
}

int writtenJsonResult(CommandIo& io, const AssessSurvey& survey, const assess::LimitResult& result,
                      const ReadArguments& args) {
    const Outcome<assess::Manifest> manifest = assessManifest(kCommand, args, args.files);
    if (!manifest) {
        return io.talk.refused(manifest.refusal());
    }
    LocalTimeText times(survey.records.days.zone());
    QJsonArray rules;
    for (const assess::LimitRuleResult& r : result.rules) {
        QJsonArray intervals;
        for (const assess::LimitInterval& i : r.intervals) {
            intervals.append(QJsonObject{{QStringLiteral("start"), times.text(i.start)},
                                         {QStringLiteral("end"), times.text(i.end)},
                                         {QStringLiteral("figure"), levelJson(i.figure)},
                                         {QStringLiteral("margin"), levelJson(i.margin)},
                                         {QStringLiteral("pass"), i.pass}});
        }
        rules.append(QJsonObject{
            {QStringLiteral("rule"), r.rule.text},
            {QStringLiteral("judged"), r.judged},
            {QStringLiteral("not_judged"), r.notJudged},
            {QStringLiteral("failing"), r.failing},
            {QStringLiteral("worst_margin"), levelJson(r.worstMargin)},
            {QStringLiteral("worst_start"),
             r.worstStart ? QJsonValue(times.text(*r.worstStart)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("intervals"), intervals}});
    }
    return writtenAssessment(
        io, survey, *manifest,
        QJsonObject{{QStringLiteral("rules"), rules},
                    {QStringLiteral("guideline"), result.guideline
                                                      ? QJsonValue(guidelineJson(*result.guideline))
                                                      : QJsonValue(QJsonValue::Null)}});
}

// One row per judged interval of every rule, the rule by its number and parts (its
// text holds commas).
void writeCsv(OutputBytes& out, const AssessSurvey& survey, const assess::LimitResult& result) {
    std::vector<std::pair<size_t, const assess::LimitInterval*>> rows;
    for (size_t r = 0; r < result.rules.size(); ++r) {
        for (const assess::LimitInterval& i : result.rules[r].intervals) {
            rows.emplace_back(r, &i);
        }
    }
    LocalTimeText times(survey.records.days.zone());
    writeTable(out, TableForm::Csv,
               {"rule", "figure", "interval_s", "hours", "limit", "start", "end", "level", "margin",
                "pass"},
               qsizetype(rows.size()), [&](qsizetype n, TableRow& cells) {
                   const auto& [r, i] = rows[size_t(n)];
                   const assess::LimitRule& rule = result.rules[r].rule;
                   cells.number(qint64(r) + 1);
                   cells.cell(assess::limitFigureName(rule.figure).toLatin1());
                   cells.number(rule.length);
                   cells.cell(QStringLiteral("%1-%2")
                                  .arg(rule.from, 2, 10, QLatin1Char('0'))
                                  .arg(rule.to, 2, 10, QLatin1Char('0'))
                                  .toLatin1());
                   cells.figure(rule.db, kLevelDecimals);
                   cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), i->start));
                   cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), i->end));
                   cells.figure(i->figure, kLevelDecimals);
                   cells.figure(i->margin, kLevelDecimals);
                   cells.cell(i->pass ? "true" : "false");
               });
}

QString hourText(int hour) {
    return QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0'));
}

// Per rule what it is, its counts and worst, and its failing intervals.
void writeRule(OutputBytes& out, const AssessSurvey& survey, const assess::LimitRuleResult& r) {
    LocalTimeText times(survey.records.days.zone());
    const QString label = assess::limitLabel(survey.notation, r.rule);
    QString head = QStringLiteral("%1: %2 of every interval starting from %3 to %4, at most %5\n")
                       .arg(r.rule.text, label, hourText(r.rule.from), hourText(r.rule.to),
                            stats::decibelsText(r.rule.db));
    head += QStringLiteral("Judged %1, not judged %2 (too little recorded), failing %3")
                .arg(r.judged)
                .arg(r.notJudged)
                .arg(r.failing);
    if (r.worstMargin) {
        head += QStringLiteral("; worst margin %1 from %2")
                    .arg(stats::decibelsText(*r.worstMargin), times.text(*r.worstStart));
    }
    out.bytes().append((head + u'\n').toUtf8());
    std::vector<const assess::LimitInterval*> failing;
    for (const assess::LimitInterval& i : r.intervals) {
        if (!i.pass) {
            failing.push_back(&i);
        }
    }
    if (!failing.empty()) {
        const QByteArray caption = label.toUtf8();
        writeTable(out, TableForm::Aligned, {"Start", "End", caption, "Margin"},
                   qsizetype(failing.size()), [&](qsizetype n, TableRow& cells) {
                       const assess::LimitInterval& i = *failing[size_t(n)];
                       cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), i.start));
                       cells.endCell(times.put(cells.room(LocalTimeText::kMostBytes), i.end));
                       cells.figure(i.figure, kLevelDecimals);
                       cells.figure(i.margin, kLevelDecimals);
                   });
    }
    out.bytes().append("\n");
}

QString aboveText(const std::optional<bool>& above) {
    return above ? (*above ? QStringLiteral("above") : QStringLiteral("not above"))
                 : QStringLiteral("not judged");
}

void writeGuideline(OutputBytes& out, const assess::GuidelineResult& g) {
    QString text = QStringLiteral("WHO 2018 guideline values for %1 (%2): Lden %3")
                       .arg(assess::guidelineSource(g.source), assess::guidelineName(g.source),
                            stats::decibelsText(g.ldenValue));
    text += g.lnightValue ? QStringLiteral(", Lnight %1\n").arg(stats::decibelsText(*g.lnightValue))
                          : QStringLiteral(", no Lnight value\n");
    text += QStringLiteral("The survey's Lden %1: %2; Lnight %3: %4\n")
                .arg(stats::decibelsText(g.lden), aboveText(g.ldenAbove),
                     stats::decibelsText(g.lnight), aboveText(g.lnightAbove));
    out.bytes().append((text + assess::guidelineNote() + u'\n').toUtf8());
}

int runLimits(const LimitsFlags& flags, const ReadArguments& args, CommandIo& io) {
    Outcome<assess::LimitOptions> options = limitOptionsOf(flags.method, kCommand);
    if (!options) {
        return io.talk.refused(options.refusal());
    }
    const Outcome<Format> format = formatOf(flags.assess.survey);
    if (!format) {
        return io.talk.refused(format.refusal());
    }
    const Outcome<AssessSurvey> survey = readAssessSurvey(kCommand, flags.assess, args.files, io);
    if (!survey) {
        return io.talk.refused(survey.refusal());
    }
    options->minCoverage = survey->minCoverage;
    const assess::LimitResult result = assess::assessLimits(survey->input(), *options);
    if (*format == Format::Json) {
        return writtenJsonResult(io, *survey, result, args);
    }
    OutputBytes out(io.out);
    if (*format == Format::Csv) {
        writeCsv(out, *survey, result);
        return kOk;
    }
    out.bytes().append(assessmentHead(QStringLiteral("Limits by time of day"), *survey));
    for (const assess::LimitRuleResult& rule : result.rules) {
        writeRule(out, *survey, rule);
    }
    if (result.guideline) {
        writeGuideline(out, *result.guideline);
    }
    return kOk;
}

}  // namespace

Command assessLimitsCommand() {
    return commandOf<LimitsFlags>(
        {kCommand, QStringLiteral("FILE..."),
         QStringLiteral("Limits by time of day, and the WHO guideline values."),
         QStringLiteral(
             "The files as one survey. Each --limit judges every interval of its length T,\n"
             "aligned to local midnight, that starts within its hours and is covered\n"
             "(--min-coverage): its figure as shown (to 0.1 dB) against the limit, the\n"
             "margin = limit - figure, passing when the margin is 0 or more. Per limit:\n"
             "the intervals judged, those not judged (too little recorded), the failing\n"
             "ones, and the worst margin. --guideline compares the survey's overall Lden\n"
             "and Lnight (day 07-19, evening 19-23, night 23-07) with the WHO 2018\n"
             "environmental noise guideline values, which are for long-term averages\n"
             "over a year. --csv writes each judged interval of every limit."),
         QStringLiteral(
             "assess limits --limit laeq,15min,23-07,45 --guideline who-road night/*.sdm")},
        Operands::Files, limitsRows, runLimits, Profiles::Taken);
}

}  // namespace lp::cli
