// Noise at work in the report (Directive 2003/10/EC): per day or shift the exposure time,
// LAeq,Te, LEX,8h, the dose and the verdict against the action values, and LEX,w.
#include <cmath>

#include "stats/figure_text.h"
#include "survey/report_assessment_sections.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

// "07:30": a shift's end as the clock shows it.
QString clockText(int minute) {
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

bool inputs(ReportFlow& flow, const ReportAssessments& a, const QString& laeq) {
    const assess::ExposureOptions& o = *a.exposureOptions;
    const QString span =
        o.shift ? QStringLiteral(
                      "Per shift %1-%2 each day (a shift past midnight belongs to "
                      "the day it starts).")
                      .arg(clockText(o.shift->fromMinute), clockText(o.shift->toMinute))
                : QStringLiteral("Per local calendar day.");
    const QString te = o.teHours ? QStringLiteral(" Te declared: %1 h a day.").arg(*o.teHours)
                                 : QStringLiteral(" Te: the time of the records counted.");
    const QString weighting =
        a.notation.weighting == records::Weighting::A
            ? QString()
            : QStringLiteral(
                  " These levels are not known to be A-weighted: noise at work is "
                  "judged on A-weighted levels.");
    return methodParagraph(flow, QStringLiteral("Inputs"),
                           QStringLiteral("The counted records of the survey above. ") + span + te +
                               weighting) &&
           methodParagraph(
               flow, QStringLiteral("Method"),
               QStringLiteral(
                   "Te, the exposure time of a day, is its counted records × S (readings out of "
                   "range included) or the time declared. %1 is the energy mean of the day's "
                   "counted levels (a bound when it holds readings out of range). The daily "
                   "noise exposure level LEX,8h = %1 + 10·lg(Te / 8 h); the dose = 100 % · "
                   "10^((LEX,8h − 85) / 10). LEX,w, over more than one day, is the days' "
                   "LEX,8h as energy, summed and divided by 5 (a week of five working days). "
                   "LEX,8h as shown is judged against the lower action value 80 dB(A), the "
                   "upper action value 85 dB(A) and the exposure limit value 87 dB(A); the "
                   "limit value is judged with the hearing protection worn, and these levels "
                   "are without it. Peak sound pressure (the action values of 135 and 137 "
                   "dB(C), the limit of 140 dB(C)) cannot be judged from these records.")
                   .arg(laeq));
}

bool daysTable(ReportFlow& flow, const assess::ExposureResult& r, const QString& laeq) {
    ReportTable table{
        {QStringLiteral("Day"), QStringLiteral("Te (h)"), laeq, QStringLiteral("LEX,8h"),
         QStringLiteral("Dose (%)"), QStringLiteral("Verdict")},
        {1.2, 0.7, 0.9, 0.8, 0.8, 2.2},
        qsizetype(r.days.size()),
        [&](qsizetype i) {
            const assess::ExposureDay& d = r.days[size_t(i)];
            return QStringList{d.date.toString(QStringLiteral("ddd yyyy-MM-dd")),
                               QString::number(double(d.teSeconds) / 3600.0, 'f', 2),
                               stats::levelText(d.laeq),
                               stats::levelText(d.lex8h),
                               d.dose ? QString::number(std::round(*d.dose * 10.0) / 10.0, 'f', 1)
                                      : stats::kNoValue,
                               d.verdict ? assess::verdictText(*d.verdict) : stats::kNoValue};
        },
        {},
        1,
        qsizetype(r.days.size())};
    return drawTable(flow, table);
}

}  // namespace

bool exposureAssessmentSection(ReportFlow& flow, const ReportContent& content) {
    const ReportAssessments& a = content.assessments;
    if (!a.exposure) {
        return true;
    }
    const assess::ExposureResult& r = *a.exposure;
    const QString laeq = stats::figureLabel(a.notation, stats::Figure::Leq) + QStringLiteral(",Te");
    if (!flow.heading(QStringLiteral("Assessment: noise at work"), flow.pt(120)) ||
        !inputs(flow, a, laeq) ||
        !subheading(flow, QStringLiteral("Figures per day"), 3 * tableRowHeight(flow)) ||
        !daysTable(flow, r, laeq)) {
        return false;
    }
    if (!r.lexW) {
        return true;
    }
    flow.advance(flow.pt(4));
    return flow.paragraph(
        flow.fonts().text,
        QStringLiteral("LEX,w: %1, %2.")
            .arg(stats::decibelsText(r.lexW), assess::verdictText(assess::verdictOf(*r.lexW))),
        flow.pt(6));
}

}  // namespace lp::survey
