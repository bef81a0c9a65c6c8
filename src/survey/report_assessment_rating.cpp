// The rating level in the report (BS 4142, ISO 1996-1): per part of the day the ambient
// level La of each reference time interval, the specific level Ls, the rating level
// LAr,Tr, and the initial estimate by the difference from the background.
#include "stats/figure_text.h"
#include "survey/report_assessment_sections.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

// Intervals listed per part at most.
constexpr qsizetype kIntervalRows = 200;

// Where a part's background came from, in words.
QString backgroundFromText(assess::BackgroundFrom from) {
    switch (from) {
        case assess::BackgroundFrom::Level:
            return QStringLiteral("the level given");
        case assess::BackgroundFrom::BackgroundSurvey:
            return QStringLiteral("the background survey");
        case assess::BackgroundFrom::ResidualSurvey:
            return QStringLiteral("the residual survey");
        case assess::BackgroundFrom::Survey:
            return QStringLiteral("this survey");
    }
    return {};
}

bool inputs(ReportFlow& flow, const assess::RatingOptions& o, const assess::RatingResult& r) {
    QStringList parts;
    for (const assess::RatingPartOptions& p : o.parts) {
        parts << QStringLiteral("%1 %2 with Tr = %3")
                     .arg(p.part.name, assess::partHoursText(p.part), periodLengthText(p.tr));
    }
    QString specific;
    if (o.specificLevel) {
        specific =
            QStringLiteral(" Specific level given: %1 dB%2.")
                .arg(stats::levelText(*o.specificLevel),
                     o.onTime ? QStringLiteral(", the source on for %1 s of each Tr").arg(*o.onTime)
                              : QString());
    } else if (o.residualLevel) {
        specific = QStringLiteral(" Residual sound level Lr: %1 dB.")
                       .arg(stats::levelText(*o.residualLevel));
    } else if (o.residual != nullptr) {
        specific = QStringLiteral(" Residual: a survey without the source.");
    } else {
        specific = QStringLiteral(" No residual: Ls = La.");
    }
    QStringList corrections;
    for (const assess::Correction& c : o.corrections) {
        corrections << QStringLiteral("%1 %2 dB (%3)")
                           .arg(assess::correctionName(c.kind), stats::levelText(c.db),
                                c.reason.isEmpty() ? QStringLiteral("no reason given") : c.reason);
    }
    QStringList backgrounds;
    for (const assess::RatingPart& p : r.parts) {
        backgrounds << QStringLiteral("%1 %2 dB from %3")
                           .arg(p.options.part.name, stats::levelText(p.background),
                                backgroundFromText(p.backgroundFrom));
    }
    return methodParagraph(
               flow, QStringLiteral("Inputs"),
               QStringLiteral("The counted records of the survey above as the ambient sound. "
                              "Parts of the day: %1; an interval is used when its records "
                              "cover at least %2 % of it.%3 Corrections: %4. Background: %5.")
                   .arg(parts.join(QStringLiteral(", ")), QString::number(o.minCoverage * 100.0),
                        specific,
                        corrections.isEmpty() ? QStringLiteral("none")
                                              : corrections.join(QStringLiteral("; ")),
                        backgrounds.join(QStringLiteral("; ")))) &&
           methodParagraph(
               flow, QStringLiteral("Method"),
               QStringLiteral(
                   "La is the LAeq,Tr of each reference time interval Tr, aligned to local "
                   "midnight, in the part of the day it starts in. The specific sound level Ls "
                   "follows from La and the residual Lr, as shown, by Δ = La − Lr: Ls = La when "
                   "Δ ≥ 10 dB; Ls = 10·lg(10^(La/10) − 10^(Lr/10)) when 3 ≤ Δ < 10 dB; none when "
                   "Δ < 3 dB (the residual too close). The rating level LAr,Tr = Ls + the "
                   "corrections. Per part the highest LAr,Tr as shown is compared with the "
                   "background: D = LAr,Tr − background. The initial estimate: D ≥ 10 a likely "
                   "significant adverse impact, D ≥ 5 a likely adverse impact, 0 < D < 5 "
                   "between, D ≤ 0 a low impact, each depending on the context."));
}

bool partsTable(ReportFlow& flow, const assess::RatingResult& r, const QTimeZone& zone) {
    ReportTable table{
        {QStringLiteral("Part"), QStringLiteral("Tr"), QStringLiteral("Used"),
         QStringLiteral("Skipped"), QStringLiteral("Highest LAr"), QStringLiteral("From"),
         QStringLiteral("Background"), QStringLiteral("D")},
        {1.2, 0.7, 0.6, 0.7, 1.0, 1.5, 1.0, 0.6},
        qsizetype(r.parts.size()),
        [&](qsizetype i) {
            const assess::RatingPart& p = r.parts[size_t(i)];
            return QStringList{
                QStringLiteral("%1 %2").arg(p.options.part.name,
                                            assess::partHoursText(p.options.part)),
                periodLengthText(p.options.tr),
                countText(qint64(p.intervals.size())),
                countText(p.intervalsSkipped),
                p.worst ? stats::levelText(p.worst->lar) : stats::kNoValue,
                p.worst ? localTimeText(p.worst->start, zone, false) : stats::kNoValue,
                stats::levelText(p.background),
                stats::levelText(p.d)};
        },
        {},
        2,
        qsizetype(r.parts.size())};
    if (!drawTable(flow, table)) {
        return false;
    }
    for (const assess::RatingPart& p : r.parts) {
        if (p.estimate &&
            !flow.paragraph(flow.fonts().text,
                            QStringLiteral("%1: %2.").arg(p.options.part.name,
                                                          assess::estimateStatement(*p.estimate)),
                            flow.pt(2))) {
            return false;
        }
    }
    return true;
}

bool intervalsTable(ReportFlow& flow, const assess::RatingPart& p, const QTimeZone& zone) {
    const qsizetype rows = std::min(qsizetype(p.intervals.size()), kIntervalRows);
    if (rows == 0) {
        return true;
    }
    const QString more = qsizetype(p.intervals.size()) > rows
                             ? QStringLiteral(" (the first %1 of %2)")
                                   .arg(countText(rows), countText(qint64(p.intervals.size())))
                             : QString();
    ReportTable table{{QStringLiteral("Interval"), QStringLiteral("La"), QStringLiteral("Ls"),
                       QStringLiteral("LAr"), QStringLiteral("Note")},
                      {2.5, 0.8, 0.8, 0.8, 2.0},
                      rows,
                      [&](qsizetype i) {
                          const assess::RatingInterval& v = p.intervals[size_t(i)];
                          return QStringList{spanText(v.start, v.end, zone), stats::levelText(v.la),
                                             stats::levelText(v.ls), stats::levelText(v.lar),
                                             v.note};
                      },
                      {},
                      1,
                      3};
    return subheading(flow,
                      QStringLiteral("Intervals of the %1 %2%3")
                          .arg(p.options.part.name, assess::partHoursText(p.options.part), more),
                      3 * tableRowHeight(flow)) &&
           drawTable(flow, table);
}

}  // namespace

bool ratingAssessmentSection(ReportFlow& flow, const ReportContent& content) {
    const ReportAssessments& a = content.assessments;
    if (!a.rating) {
        return true;
    }
    const assess::RatingResult& r = *a.rating;
    const QTimeZone& zone = content.result.zone;
    if (!flow.heading(QStringLiteral("Assessment: rating level"), flow.pt(120)) ||
        !inputs(flow, *a.ratingOptions, r) ||
        !subheading(flow, QStringLiteral("Figures per part"), 3 * tableRowHeight(flow)) ||
        !partsTable(flow, r, zone)) {
        return false;
    }
    for (const assess::RatingPart& p : r.parts) {
        if (!intervalsTable(flow, p, zone)) {
            return false;
        }
    }
    return true;
}

}  // namespace lp::survey
