// The background sound level in the report: the LA90 of reference intervals per part,
// their histogram by whole dB, the typical value, and with the NSW method the ABL and RBL.
#include "stats/figure_text.h"
#include "survey/report_assessment_sections.h"
#include "survey/report_charts.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

constexpr double kHistogramPoints = 150;

bool inputs(ReportFlow& flow, const ReportAssessments& a, const QString& l90) {
    const assess::BackgroundOptions& o = *a.backgroundOptions;
    QStringList parts;
    for (const assess::DayPart& part : o.parts) {
        parts << QStringLiteral("%1 %2").arg(part.name, assess::partHoursText(part));
    }
    return methodParagraph(
               flow, QStringLiteral("Inputs"),
               QStringLiteral(
                   "The counted records of the survey above. Reference time interval T = "
                   "%1, aligned to local midnight; an interval is used when its records "
                   "cover at least %2 % of it. Parts of the day: %3. Typical value: %4.%5")
                   .arg(periodLengthText(o.interval), QString::number(o.minCoverage * 100.0),
                        parts.join(QStringLiteral(", ")), assess::typicalName(o.typical),
                        o.rbl ? QStringLiteral(
                                    " Also the NSW assessment and rating background levels.")
                              : QString())) &&
           methodParagraph(
               flow, QStringLiteral("Method"),
               QStringLiteral(
                   "%1 of an interval is the level exceeded for 90 % of it: the 10th percentile "
                   "of its counted levels, interpolated linearly between them in order. An "
                   "interval belongs to the part of the day in which it starts. Per part, the "
                   "%1 values are rounded to whole dB (halves up) and counted in the "
                   "histogram; the mode is the most frequent whole dB (on a tie, the lowest); "
                   "the median and the 10th percentile (p10) are of the unrounded values, "
                   "interpolated linearly. The background sound level LA90,T of a part is its "
                   "typical value, %2.%3")
                   .arg(l90, assess::typicalName(o.typical),
                        o.rbl ? QStringLiteral(
                                    " NSW: the assessment background level (ABL) of a day and "
                                    "part (day 07-18, evening 18-22, night 22-07; a night "
                                    "belongs to the day it starts) is the 10th percentile of "
                                    "its LA90,15min values; the rating background level (RBL) "
                                    "of a part is the median of its ABLs.")
                              : QString()));
}

bool partsTable(ReportFlow& flow, const assess::BackgroundResult& r) {
    ReportTable table{{QStringLiteral("Part"), QStringLiteral("Hours"), QStringLiteral("Used"),
                       QStringLiteral("Skipped"), QStringLiteral("Mode"), QStringLiteral("Median"),
                       QStringLiteral("p10"), QStringLiteral("Typical")},
                      {1.0, 1.0, 0.8, 0.8, 0.8, 0.8, 0.8, 0.9},
                      qsizetype(r.parts.size()),
                      [&](qsizetype i) {
                          const assess::BackgroundPart& p = r.parts[size_t(i)];
                          return QStringList{p.part.name,
                                             assess::partHoursText(p.part),
                                             countText(p.intervalsUsed),
                                             countText(p.intervalsSkipped),
                                             stats::levelText(p.mode),
                                             stats::levelText(p.median),
                                             stats::levelText(p.p10),
                                             stats::levelText(p.typical)};
                      },
                      {},
                      2,
                      qsizetype(r.parts.size())};
    return drawTable(flow, table);
}

bool histogram(ReportFlow& flow, const assess::BackgroundPart& part, const QString& l90) {
    const double height = flow.pt(kHistogramPoints);
    if (!subheading(flow,
                    QStringLiteral("Histogram of %1, %2 %3")
                        .arg(l90, part.part.name, assess::partHoursText(part.part)),
                    height) ||
        !flow.ensure(height)) {
        return false;
    }
    if (QPainter* p = flow.painter()) {
        paintWholeDbHistogram(*p, QRectF(flow.body().left(), flow.y(), flow.body().width(), height),
                              flow.pt(1), part.histogram,
                              QStringLiteral("intervals per whole dB of %1").arg(l90));
    }
    flow.advance(height);
    return true;
}

bool rblTable(ReportFlow& flow, const assess::RblResult& rbl) {
    QStringList headers{QStringLiteral("Day")};
    for (const assess::DayPart& part : rbl.parts) {
        headers << QStringLiteral("ABL %1").arg(part.name);
    }
    const qsizetype days = qsizetype(rbl.days.size());
    ReportTable table{headers,
                      std::vector<double>(size_t(headers.size()), 1.0),
                      days + 1,
                      [&](qsizetype i) {
                          QStringList cells;
                          if (i == days) {
                              cells << QStringLiteral("RBL");
                              for (const std::optional<double>& v : rbl.rbl) {
                                  cells << stats::levelText(v);
                              }
                              return cells;
                          }
                          const assess::AblDay& day = rbl.days[size_t(i)];
                          cells << day.date.toString(QStringLiteral("ddd yyyy-MM-dd"));
                          for (const std::optional<double>& v : day.abl) {
                              cells << stats::levelText(v);
                          }
                          return cells;
                      },
                      [days](qsizetype i) { return i == days; },
                      1,
                      2};
    return subheading(flow, QStringLiteral("NSW ABL and RBL"), 3 * tableRowHeight(flow)) &&
           drawTable(flow, table);
}

}  // namespace

bool backgroundAssessmentSection(ReportFlow& flow, const ReportContent& content) {
    const ReportAssessments& a = content.assessments;
    if (!a.background) {
        return true;
    }
    const assess::BackgroundResult& r = *a.background;
    const QString l90 =
        stats::figureLabel(a.notation, stats::Figure::Exceeded, 90, r.intervalSeconds);
    if (!flow.heading(QStringLiteral("Assessment: background sound level"), flow.pt(120)) ||
        !inputs(flow, a, l90) ||
        !subheading(flow, QStringLiteral("Figures per part"), 3 * tableRowHeight(flow)) ||
        !partsTable(flow, r)) {
        return false;
    }
    for (const assess::BackgroundPart& part : r.parts) {
        if (!histogram(flow, part, l90)) {
            return false;
        }
    }
    return !r.rbl || rblTable(flow, *r.rbl);
}

}  // namespace lp::survey
