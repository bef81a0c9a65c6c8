#include "survey/assessment_rows.h"

#include "stats/figure_text.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

using stats::kNoValue;
using stats::levelText;

QString hoursText(int from, int to) {
    return QStringLiteral("%1–%2")
        .arg(from, 2, 10, QLatin1Char('0'))
        .arg(to, 2, 10, QLatin1Char('0'));
}

QString dateText(const QDate& date) {
    return date.toString(Qt::ISODate);
}

QString typicalWord(assess::Typical typical) {
    switch (typical) {
        case assess::Typical::Median:
            return QStringLiteral("median");
        case assess::Typical::P10:
            return QStringLiteral("10th percentile");
        case assess::Typical::Mode:
            break;
    }
    return QStringLiteral("mode");
}

QString aboveText(const std::optional<bool>& above) {
    return !above   ? QStringLiteral("no value")
           : *above ? QStringLiteral("above")
                    : QStringLiteral("not above");
}

QString ruleText(const assess::LimitRule& rule) {
    if (!rule.text.isEmpty()) {
        return rule.text;
    }
    return QStringLiteral("%1,%2,%3,%4")
        .arg(assess::limitFigureName(rule.figure), stats::intervalLabel(rule.length),
             hoursText(rule.from, rule.to).replace(QStringLiteral("–"), QStringLiteral("-")),
             levelText(rule.db));
}

}  // namespace

QString partTitle(const QString& name) {
    return name.isEmpty() ? name : name.front().toUpper() + name.mid(1);
}

QString ordinalText(int n) {
    const int tens = n % 100;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        suffix = n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
    }
    return QString::number(n) + QLatin1String(suffix);
}

QString signedLevelText(const std::optional<double>& db) {
    if (!db) {
        return kNoValue;
    }
    const QString text = levelText(*db);
    return text.startsWith(u'-') || stats::shownLevel(*db) == 0.0 ? text : u'+' + text;
}

AssessmentShown backgroundShown(const assess::BackgroundResult& result, assess::Typical typical,
                                const stats::Notation& notation) {
    AssessmentShown shown;
    const QString l90 =
        stats::figureLabel(notation, stats::Figure::Exceeded, 90, result.intervalSeconds);
    AssessmentTable parts{
        QStringLiteral("Background %1").arg(l90),
        {QStringLiteral("Part"), QStringLiteral("Hours"), QStringLiteral("Intervals used"),
         QStringLiteral("Skipped"), QStringLiteral("Mode"), QStringLiteral("Median"),
         QStringLiteral("10th percentile"), QStringLiteral("Typical")},
        2,
        {}};
    QStringList typicals;
    for (const assess::BackgroundPart& p : result.parts) {
        parts.rows.push_back({partTitle(p.part.name), hoursText(p.part.from, p.part.to),
                              countText(p.intervalsUsed), countText(p.intervalsSkipped),
                              levelText(p.mode), levelText(p.median), levelText(p.p10),
                              levelText(p.typical)});
        typicals << QStringLiteral("%1 %2").arg(p.part.name, stats::decibelsText(p.typical));
    }
    shown.tables.push_back(std::move(parts));
    shown.lines << QStringLiteral("Typical %1 (%2): %3")
                       .arg(l90, typicalWord(typical), typicals.join(QStringLiteral(", ")));
    if (result.rbl) {
        const assess::RblResult& rbl = *result.rbl;
        AssessmentTable abl{QStringLiteral("ABL per day"), {QStringLiteral("Date")}, 1, {}};
        for (const assess::DayPart& part : rbl.parts) {
            abl.headers << QStringLiteral("ABL %1").arg(part.name);
        }
        for (const assess::AblDay& day : rbl.days) {
            QStringList row{dateText(day.date)};
            for (const std::optional<double>& value : day.abl) {
                row << levelText(value);
            }
            abl.rows.push_back(std::move(row));
        }
        shown.tables.push_back(std::move(abl));
        QStringList rbls;
        for (size_t i = 0; i < rbl.parts.size() && i < rbl.rbl.size(); ++i) {
            rbls << QStringLiteral("%1 %2").arg(rbl.parts[i].name, stats::decibelsText(rbl.rbl[i]));
        }
        shown.lines << QStringLiteral("RBL: %1").arg(rbls.join(QStringLiteral(", ")));
    }
    return shown;
}

AssessmentShown exposureShown(const assess::ExposureResult& result,
                              const stats::Notation& notation) {
    AssessmentShown shown;
    const QString laeq = stats::figureLabel(notation, stats::Figure::Leq) + QStringLiteral(",Te");
    AssessmentTable days{
        QStringLiteral("Daily exposure"),
        {QStringLiteral("Date"), QStringLiteral("Te"), laeq, QStringLiteral("LEX,8h"),
         QStringLiteral("Dose"), QStringLiteral("Verdict")},
        1,
        {}};
    for (const assess::ExposureDay& d : result.days) {
        days.rows.push_back(
            {dateText(d.date),
             QStringLiteral("%1 h").arg(QString::number(double(d.teSeconds) / 3600.0, 'f', 2)),
             levelText(d.laeq), levelText(d.lex8h),
             d.dose ? QStringLiteral("%1 %").arg(QString::number(*d.dose, 'f', 0)) : kNoValue,
             d.verdict ? assess::verdictText(*d.verdict) : kNoValue,
             stats::outOfRangeText(d.outOfRange)});
    }
    shown.tables.push_back(std::move(days));
    if (result.lexW) {
        shown.lines << QStringLiteral("LEX,w %1 over %2 days")
                           .arg(stats::decibelsText(result.lexW))
                           .arg(result.days.size());
    }
    if (notation.weighting != records::Weighting::A) {
        shown.lines << QStringLiteral(
            "The action values are for A-weighted levels; these levels are not known to be "
            "A-weighted.");
    }
    shown.lines << QStringLiteral(
        "The exposure limit value is judged with hearing protection worn; peak sound pressure "
        "cannot be judged from these records.");
    return shown;
}

AssessmentShown loudEventsShown(const assess::LoudEventResult& result,
                                const assess::LoudEventOptions& options,
                                const stats::Notation& notation) {
    AssessmentShown shown;
    const QString nth =
        QStringLiteral("%1 highest %2")
            .arg(ordinalText(options.nth),
                 stats::figureLabel(notation, stats::Figure::Lmax, 0, options.window));
    AssessmentTable days{
        QStringLiteral("Events per day"),
        {QStringLiteral("Date"), QStringLiteral("NA day"), QStringLiteral("NA evening"),
         QStringLiteral("NA night"), QStringLiteral("%1 of the night").arg(nth)},
        1,
        {}};
    qint64 all = 0;
    for (const assess::LoudEventDay& d : result.days) {
        days.rows.push_back({dateText(d.date), countText(d.na[0]), countText(d.na[1]),
                             countText(d.na[2]), levelText(d.nthHighest)});
        all += d.na[0] + d.na[1] + d.na[2];
    }
    shown.tables.push_back(std::move(days));
    shown.lines << QStringLiteral("%1 events %2").arg(countText(all), eventRuleText(options.rule));
    return shown;
}

AssessmentShown limitsShown(const assess::LimitResult& result, const stats::Notation& notation,
                            const QTimeZone& zone) {
    Q_UNUSED(notation);
    AssessmentShown shown;
    AssessmentTable rules{
        QStringLiteral("Limit rules"),
        {QStringLiteral("Rule"), QStringLiteral("Judged"), QStringLiteral("Not judged"),
         QStringLiteral("Failing"), QStringLiteral("Worst margin"), QStringLiteral("Worst at")},
        1,
        {}};
    AssessmentTable intervals{
        QStringLiteral("Intervals judged"),
        {QStringLiteral("Rule"), QStringLiteral("Start"), QStringLiteral("End"),
         QStringLiteral("Figure"), QStringLiteral("Margin"), QStringLiteral("Result")},
        3,
        {}};
    for (const assess::LimitRuleResult& r : result.rules) {
        const QString rule = ruleText(r.rule);
        rules.rows.push_back({rule, countText(r.judged), countText(r.notJudged),
                              countText(r.failing), signedLevelText(r.worstMargin),
                              r.worstStart ? localTimeText(*r.worstStart, zone, false) : kNoValue});
        for (const assess::LimitInterval& i : r.intervals) {
            intervals.rows.push_back({rule, localTimeText(i.start, zone, false),
                                      spanEndText(i.start, i.end, zone, false), levelText(i.figure),
                                      signedLevelText(i.margin),
                                      i.pass ? QStringLiteral("pass") : QStringLiteral("fail")});
        }
        shown.lines << (r.failing > 0 ? QStringLiteral("%1: %2 of %3 intervals fail, the worst "
                                                       "by %4 dB")
                                            .arg(rule, countText(r.failing), countText(r.judged),
                                                 signedLevelText(r.worstMargin))
                                      : QStringLiteral("%1: all %2 intervals judged pass")
                                            .arg(rule, countText(r.judged)));
    }
    shown.tables.push_back(std::move(rules));
    shown.tables.push_back(std::move(intervals));
    if (result.guideline) {
        const assess::GuidelineResult& g = *result.guideline;
        QString line = QStringLiteral("WHO 2018 guideline for %1: Lden %2 against %3 dB, %4")
                           .arg(assess::guidelineSource(g.source), stats::decibelsText(g.lden),
                                levelText(g.ldenValue), aboveText(g.ldenAbove));
        if (g.lnightValue) {
            line += QStringLiteral("; Lnight %1 against %2 dB, %3")
                        .arg(stats::decibelsText(g.lnight), levelText(*g.lnightValue),
                             aboveText(g.lnightAbove));
        }
        shown.lines << line + QStringLiteral(". The guideline values are for long-term averages.");
    }
    return shown;
}

}  // namespace lp::survey
