// Limits by time of day in the report: per rule its summary and failing intervals, and
// the survey's Lden and Lnight against the WHO guideline values.
#include "stats/figure_text.h"
#include "survey/report_assessment_sections.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

// Failing intervals listed per rule at most.
constexpr qsizetype kFailingRows = 200;

QString ruleText(const stats::Notation& notation, const assess::LimitRule& rule) {
    return QStringLiteral("%1 ≤ %2 dB in intervals starting %3:00-%4:00")
        .arg(assess::limitLabel(notation, rule), stats::levelText(rule.db))
        .arg(rule.from, 2, 10, QLatin1Char('0'))
        .arg(rule.to, 2, 10, QLatin1Char('0'));
}

bool inputs(ReportFlow& flow, const ReportAssessments& a) {
    const assess::LimitOptions& o = *a.limitOptions;
    QStringList rules;
    for (const assess::LimitRule& rule : o.rules) {
        rules << QStringLiteral("%1 (%2)").arg(ruleText(a.notation, rule), rule.text);
    }
    QString given = rules.isEmpty() ? QStringLiteral("No limit rule.")
                                    : QStringLiteral("Rules: ") + rules.join(QStringLiteral("; ")) +
                                          QStringLiteral(".");
    if (o.guideline) {
        given +=
            QStringLiteral(" Guideline: WHO 2018, %1.").arg(assess::guidelineSource(*o.guideline));
    }
    return methodParagraph(flow, QStringLiteral("Inputs"),
                           given + QStringLiteral(" An interval is judged when its records cover "
                                                  "at least %1 % of it.")
                                       .arg(QString::number(o.minCoverage * 100.0))) &&
           methodParagraph(
               flow, QStringLiteral("Method"),
               QStringLiteral(
                   "Each rule judges every interval of its length T, aligned to local midnight, "
                   "that starts within its hours (hours such as 23-07 run over midnight) and is "
                   "covered: its figure (LAeq,T, LAmax,T, LA10,T or LA90,T of the counted "
                   "levels) as shown to 0.1 dB; margin = limit − figure; the interval passes "
                   "when the margin is 0 or more. Per rule: the intervals judged, those not "
                   "judged (too little coverage), those failing, and the least margin with its "
                   "interval (on a tie the earliest).%1")
                   .arg(o.guideline
                            ? QStringLiteral(" The survey's overall Lden and Lnight, as shown, are "
                                             "compared with the WHO guideline values: above when "
                                             "greater than the value.")
                            : QString()));
}

bool rulesTable(ReportFlow& flow, const assess::LimitResult& r, const QTimeZone& zone) {
    ReportTable table{{QStringLiteral("Rule"), QStringLiteral("Judged"),
                       QStringLiteral("Not judged"), QStringLiteral("Failing"),
                       QStringLiteral("Worst margin"), QStringLiteral("Worst interval from")},
                      {2.6, 0.8, 0.9, 0.8, 1.0, 1.7},
                      qsizetype(r.rules.size()),
                      [&](qsizetype i) {
                          const assess::LimitRuleResult& rule = r.rules[size_t(i)];
                          return QStringList{rule.rule.text,
                                             countText(rule.judged),
                                             countText(rule.notJudged),
                                             countText(rule.failing),
                                             stats::levelText(rule.worstMargin),
                                             rule.worstStart
                                                 ? localTimeText(*rule.worstStart, zone, false)
                                                 : stats::kNoValue};
                      },
                      {},
                      1,
                      qsizetype(r.rules.size())};
    return drawTable(flow, table);
}

bool failingTable(ReportFlow& flow, const ReportAssessments& a, const assess::LimitRuleResult& rule,
                  const QTimeZone& zone) {
    std::vector<const assess::LimitInterval*> failing;
    for (const assess::LimitInterval& i : rule.intervals) {
        if (!i.pass && qsizetype(failing.size()) < kFailingRows) {
            failing.push_back(&i);
        }
    }
    if (failing.empty()) {
        return true;
    }
    const QString more = rule.failing > qsizetype(failing.size())
                             ? QStringLiteral(" (the first %1 of %2)")
                                   .arg(countText(qint64(failing.size())), countText(rule.failing))
                             : QString();
    ReportTable table{{QStringLiteral("Interval"), assess::limitLabel(a.notation, rule.rule),
                       QStringLiteral("Margin")},
                      {2.5, 1.0, 1.0},
                      qsizetype(failing.size()),
                      [&](qsizetype i) {
                          const assess::LimitInterval& f = *failing[size_t(i)];
                          return QStringList{spanText(f.start, f.end, zone),
                                             stats::levelText(f.figure),
                                             stats::levelText(f.margin)};
                      },
                      {},
                      1,
                      3};
    return subheading(flow, QStringLiteral("Failing intervals of %1%2").arg(rule.rule.text, more),
                      3 * tableRowHeight(flow)) &&
           drawTable(flow, table);
}

QString aboveText(const std::optional<bool>& above) {
    if (!above) {
        return stats::kNoValue;
    }
    return *above ? QStringLiteral("above") : QStringLiteral("not above");
}

bool guidelineTable(ReportFlow& flow, const assess::GuidelineResult& g) {
    ReportTable table{
        {QStringLiteral("Figure"), QStringLiteral("Survey"), QStringLiteral("Guideline value"),
         QStringLiteral("Judged")},
        {1.0, 1.0, 1.2, 1.0},
        2,
        [&](qsizetype i) {
            if (i == 0) {
                return QStringList{QStringLiteral("Lden"), stats::levelText(g.lden),
                                   stats::levelText(g.ldenValue), aboveText(g.ldenAbove)};
            }
            return QStringList{QStringLiteral("Lnight"), stats::levelText(g.lnight),
                               stats::levelText(g.lnightValue), aboveText(g.lnightAbove)};
        },
        {},
        1,
        2};
    return subheading(flow,
                      QStringLiteral("WHO 2018 guideline values, %1")
                          .arg(assess::guidelineSource(g.source)),
                      3 * tableRowHeight(flow)) &&
           drawTable(flow, table) &&
           flow.paragraph(flow.fonts().text, assess::guidelineNote(), flow.pt(6));
}

}  // namespace

bool limitsAssessmentSection(ReportFlow& flow, const ReportContent& content) {
    const ReportAssessments& a = content.assessments;
    if (!a.limits) {
        return true;
    }
    const assess::LimitResult& r = *a.limits;
    if (!flow.heading(QStringLiteral("Assessment: limits by time of day"), flow.pt(120)) ||
        !inputs(flow, a)) {
        return false;
    }
    if (!r.rules.empty() &&
        !(subheading(flow, QStringLiteral("Rules judged"), 3 * tableRowHeight(flow)) &&
          rulesTable(flow, r, content.result.zone))) {
        return false;
    }
    for (const assess::LimitRuleResult& rule : r.rules) {
        if (!failingTable(flow, a, rule, content.result.zone)) {
            return false;
        }
    }
    return !r.guideline || guidelineTable(flow, *r.guideline);
}

}  // namespace lp::survey
