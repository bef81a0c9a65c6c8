// Loud events in the report: the number of events above the threshold (NA) per day and
// part of the day, and per night the nth highest maximum of its windows.
#include "stats/figure_text.h"
#include "survey/report_assessment_sections.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

bool inputs(ReportFlow& flow, const assess::LoudEventOptions& o, const QString& maxLabel) {
    const stats::DayPartHours& h = o.hours;
    return methodParagraph(
               flow, QStringLiteral("Inputs"),
               QStringLiteral("The events of the survey above: %1 (the report's --above, the "
                              "threshold of the events table too). Parts of the day: day %2, "
                              "evening %3, night %4. Windows of %5 s aligned to local "
                              "midnight; the %6 highest of each night.")
                   .arg(eventRuleText(o.rule), assess::hoursText(h.dayStart, h.eveningStart),
                        assess::hoursText(h.eveningStart, h.nightStart),
                        assess::hoursText(h.nightStart, h.dayStart))
                   .arg(o.window)
                   .arg(assess::ordinal(o.nth))) &&
           methodParagraph(
               flow, QStringLiteral("Method"),
               QStringLiteral(
                   "NA, the number above: the events at or above the threshold counted per "
                   "day by the part of the day they start in (the hours after midnight are the "
                   "night before). Per night, the maximum of each window (%1) with a level, "
                   "sorted from the highest: the %2 of them; none when the night has fewer "
                   "windows with a level.")
                   .arg(maxLabel, assess::ordinal(o.nth)));
}

bool daysTable(ReportFlow& flow, const assess::LoudEventResult& r, const QString& nthCaption) {
    ReportTable table{{QStringLiteral("Day"), QStringLiteral("NA day"),
                       QStringLiteral("NA evening"), QStringLiteral("NA night"), nthCaption},
                      {1.2, 0.8, 0.9, 0.8, 1.6},
                      qsizetype(r.days.size()),
                      [&](qsizetype i) {
                          const assess::LoudEventDay& d = r.days[size_t(i)];
                          QStringList cells{d.date.toString(QStringLiteral("ddd yyyy-MM-dd"))};
                          for (const qint64 na : d.na) {
                              cells << countText(na);
                          }
                          cells << stats::levelText(d.nthHighest);
                          return cells;
                      },
                      {},
                      1,
                      qsizetype(r.days.size())};
    return drawTable(flow, table);
}

}  // namespace

bool loudEventsAssessmentSection(ReportFlow& flow, const ReportContent& content) {
    const ReportAssessments& a = content.assessments;
    if (!a.loudEvents) {
        return true;
    }
    const assess::LoudEventOptions& o = *a.loudEventOptions;
    const QString maxLabel = stats::figureLabel(a.notation, stats::Figure::Lmax, 0, o.window);
    return flow.heading(QStringLiteral("Assessment: loud events"), flow.pt(120)) &&
           inputs(flow, o, maxLabel) &&
           subheading(flow, QStringLiteral("Figures per day"), 3 * tableRowHeight(flow)) &&
           daysTable(flow, *a.loudEvents,
                     QStringLiteral("Night %1 %2").arg(assess::ordinal(o.nth), maxLabel));
}

}  // namespace lp::survey
