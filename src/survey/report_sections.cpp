// The sections of a survey report.
#include "survey/report_sections.h"

#include <QDir>
#include <QFileInfo>

#include "stats/figure_text.h"
#include "stats/percentiles.h"
#include "survey/report_assessment_sections.h"
#include "survey/report_charts.h"
#include "survey/report_manifest.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

constexpr double kTimeHistoryPoints = 230;
constexpr double kHistogramPoints = 190;
// Tables of up to this many rows are not broken across pages where they fit on one.
constexpr qsizetype kKeptRows = 16;

// The height of a table's headings and `rows` rows.
double tableHeight(ReportFlow& flow, qsizetype rows) {
    return static_cast<double>(rows + 1) * tableRowHeight(flow);
}

// "a.sdm, b.sdm (in /data/site)" when they share a folder, else the full names.
QString filesText(const QStringList& files) {
    QStringList names;
    QString folder;
    bool oneFolder = true;
    for (const QString& file : files) {
        const QFileInfo info(file);
        names << info.fileName();
        const QString path = QDir::toNativeSeparators(info.absolutePath());
        oneFolder &= folder.isEmpty() || folder == path;
        folder = path;
    }
    if (!oneFolder) {
        QStringList full;
        for (const QString& file : files) {
            full << QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        }
        return full.join(QStringLiteral(", "));
    }
    return names.join(QStringLiteral(", ")) + QStringLiteral(" (in %1)").arg(folder);
}

QString instantText(const std::optional<qint64>& instant, const QTimeZone& zone) {
    return instant ? localTimeText(*instant, zone) : stats::kNoValue;
}

QString recordsText(const stats::SurveyResult& r) {
    const QString repeats = repeatsText(r);
    return QStringLiteral(
               "%1 read, %2 counted; %3 without a level, %4 without a time stamp, %5 "
               "excluded%6")
        .arg(countText(r.records), countText(r.counted), countText(r.leftOut), countText(r.undated),
             countText(r.excluded), repeats.isEmpty() ? QString() : QStringLiteral("; ") + repeats);
}

QString levelsText(const stats::LnResult& ln, const stats::Notation& n) {
    const stats::LevelFigures& f = ln.figures;
    return QStringLiteral("%1 %2, %3 %4, %5 %6")
        .arg(stats::figureLabel(n, stats::Figure::Leq), stats::decibelsText(f.leq),
             stats::figureLabel(n, stats::Figure::Lmax), stats::decibelsText(f.lmax),
             stats::figureLabel(n, stats::Figure::Lmin), stats::decibelsText(f.lmin));
}

bool titleBlock(ReportFlow& flow, const ReportContent& content,
                const std::optional<QDateTime>& madeAt) {
    const stats::SurveyResult& r = content.result;
    if (!flow.paragraph(flow.fonts().title, QStringLiteral("Survey report"), flow.pt(2))) {
        return false;
    }
    if (madeAt && !flow.paragraph(flow.fonts().small,
                                  QStringLiteral("Made by LevelPanel on %1")
                                      .arg(madeAt->toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
                                  flow.pt(6))) {
        return false;
    }
    const QStringList exclusions = exclusionTexts(content.options.exclusions, r.zone);
    const QString interval = r.interval ? QStringLiteral("%1 s").arg(*r.interval) : stats::kNoValue;
    const bool oneFile = r.files.size() == 1;
    return (r.held ? flow.field(QStringLiteral("Source"),
                                r.files.join(QString()) +
                                    QStringLiteral(" (held in memory, never saved to a file)"))
                   : flow.field(oneFile ? QStringLiteral("File") : QStringLiteral("Files"),
                                filesText(r.files))) &&
           flow.field(QStringLiteral("First record"), instantText(r.first, r.zone)) &&
           flow.field(QStringLiteral("Last record"), instantText(r.last, r.zone)) &&
           flow.field(QStringLiteral("Sampling interval S"), interval) &&
           flow.field(QStringLiteral("Records"), recordsText(r)) &&
           flow.field(QStringLiteral("Coverage"),
                      coverageText(surveyCoverage(r)) +
                          QStringLiteral(" of the time from the first record to the last")) &&
           flow.field(QStringLiteral("Options"),
                      optionLines(content.options).join(QLatin1Char('\n'))) &&
           flow.field(QStringLiteral("Exclusions"), exclusions.isEmpty()
                                                        ? QStringLiteral("none")
                                                        : exclusions.join(QLatin1Char('\n'))) &&
           flow.field(QStringLiteral("Measured as"), levelKindText(r.notation, r.adjust)) &&
           (!r.mixedStates || flow.field(QStringLiteral("Warning"), *r.mixedStates)) &&
           flow.field(QStringLiteral("Levels"), levelsText(content.ln, r.notation)) &&
           flow.field(QStringLiteral("Lden"), ldenLine(r.den.overall));
}

// A picture of the body's width and `points` high, below a heading.
template <typename Paint>
bool picture(ReportFlow& flow, const QString& title, double points, const Paint& paint) {
    const double height = flow.pt(points);
    if (!flow.heading(title, height)) {
        return false;
    }
    if (!flow.ensure(height)) {
        return false;
    }
    if (QPainter* p = flow.painter()) {
        paint(*p, QRectF(flow.body().left(), flow.y(), flow.body().width(), height));
    }
    flow.advance(height);
    return true;
}

bool periodSection(ReportFlow& flow, const ReportContent& content) {
    const stats::SurveyResult& r = content.result;
    const double keep = tableHeight(flow, 2);
    if (!flow.heading(
            QStringLiteral("Periods of %1").arg(periodLengthText(content.options.periodLength)),
            keep)) {
        return false;
    }
    if (r.periods.refused) {
        return flow.paragraph(flow.fonts().text, *r.periods.refused);
    }
    const std::vector<stats::SurveyPeriod>& periods = r.periods.list;
    if (periods.size() > size_t(kReportPeriodRows)) {
        return flow.paragraph(
            flow.fonts().text,
            QStringLiteral("%1 periods of %2, more than the report lists (%3): choose longer "
                           "periods, or list them all with levelpanel-cli periods.")
                .arg(countText(qint64(periods.size())),
                     periodLengthText(content.options.periodLength), countText(kReportPeriodRows)));
    }
    ReportTable table{periodHeaders(r.notation, content.options.periodLength),
                      {2.0, 1.0, 1.0, 1.25, 0.8, 0.8, 0.8, 0.8, 0.8, 0.8, 1.75},
                      qsizetype(periods.size()),
                      [&](qsizetype i) { return periodCells(periods[size_t(i)], r.zone); },
                      {},
                      2};
    return drawTable(flow, table);
}

bool denSection(ReportFlow& flow, const ReportContent& content) {
    const stats::DenLevels& den = content.result.den;
    const qsizetype days = qsizetype(den.days.size());
    // A week's table stays whole, with its heading.
    if (!flow.heading(QStringLiteral("Day, evening and night"),
                      tableHeight(flow, std::min<qsizetype>(days + 1, kKeptRows)))) {
        return false;
    }
    ReportTable table{
        denHeaders(),
        {1.6, 0.9, 1.0, 0.9, 0.8, 1.3, 0.9, 0.8, 1.4},
        days + 1,
        [&](qsizetype i) { return denCells(i < days ? den.days[size_t(i)] : den.overall); },
        [days](qsizetype i) { return i == days; }};
    return drawTable(flow, table) && flow.paragraph(flow.fonts().text, QString()) &&
           flow.paragraph(flow.fonts().heading,
                          QStringLiteral("Whole survey: ") + ldenLine(den.overall));
}

bool lnSection(ReportFlow& flow, const ReportContent& content) {
    const stats::LnResult& ln = content.ln;
    if (!flow.heading(QStringLiteral("Percentile levels of the counted records"),
                      tableHeight(flow, 10))) {
        return false;
    }
    if (!ln.hasLevel) {
        return flow.paragraph(flow.fonts().text, QStringLiteral("No record counts."));
    }
    const QList<QStringList> rows = stats::lnTableRows(ln.levels);
    QStringList headers{QStringLiteral("Ln")};
    for (int i = 0; i < 10; ++i) {
        headers << QString::number(i);
    }
    ReportTable table{headers,     std::vector<double>(11, 1.0),
                      rows.size(), [&](qsizetype i) { return rows[i]; },
                      {},          1};
    return drawTable(flow, table) &&
           flow.paragraph(
               flow.fonts().text,
               QStringLiteral("Ln is the level exceeded for n % of the time: the "
                              "(100 − n) % percentile of the %1 counted levels, "
                              "interpolated linearly between them in order (as "
                              "PERCENTILE.INC), as are the periods' L10, L50 and "
                              "L90; %2. The histogram counts the levels in classes "
                              "of 0.1 dB.")
                   .arg(countText(ln.recordCount), levelsText(ln, content.result.notation))) &&
           picture(
               flow, QStringLiteral("Histogram"), kHistogramPoints,
               [&](QPainter& p, const QRectF& area) { paintHistogram(p, area, flow.pt(1), ln); });
}

bool eventSection(ReportFlow& flow, const ReportContent& content) {
    const stats::SurveyResult& r = content.result;
    const double keep = tableHeight(flow, 2);
    if (!flow.heading(QStringLiteral("Events"), keep)) {
        return false;
    }
    if (!content.options.events) {
        return flow.paragraph(flow.fonts().text, QStringLiteral("No events were looked for."));
    }
    const qsizetype count = qsizetype(r.events.size());
    const QString rule = optionLines(content.options).last();
    if (count == 0) {
        return flow.paragraph(flow.fonts().text, rule + QStringLiteral(": none."));
    }
    const qsizetype listed = std::min<qsizetype>(count, kReportEventRows);
    const QString summary = listed < count
                                ? QStringLiteral(
                                      "%1: %2 events; the first %3 are listed (all of them: "
                                      "levelpanel-cli events).")
                                      .arg(rule, countText(count), countText(listed))
                                : QStringLiteral("%1: %2 events.").arg(rule, countText(count));
    ReportTable table{
        eventHeaders(r.notation),
        {0.6, 2.0, 1.5, 1.0, 0.9, 0.9, 0.9, 1.6},
        listed,
        [&](qsizetype i) { return eventCells(int(i) + 1, r.events[size_t(i)], r.zone); },
        {},
        3};
    return flow.paragraph(flow.fonts().text, summary, flow.pt(4)) && drawTable(flow, table);
}

}  // namespace

QString reportRunningHead(const ReportContent& content) {
    const stats::SurveyResult& r = content.result;
    QString head = QStringLiteral("LevelPanel survey report · ");
    head += r.files.size() == 1 ? QFileInfo(r.files.front()).fileName()
                                : QStringLiteral("%1 files").arg(r.files.size());
    if (r.first && r.last) {
        const auto day = [&r](qint64 t) {
            return QDateTime::fromSecsSinceEpoch(t, r.zone).toString(QStringLiteral("yyyy-MM-dd"));
        };
        head += QStringLiteral(" · %1 to %2").arg(day(*r.first), day(*r.last));
    }
    return head;
}

bool layOutReport(ReportFlow& flow, const ReportContent& content,
                  const std::optional<QDateTime>& madeAt) {
    const stats::SurveyResult& r = content.result;
    return titleBlock(flow, content, madeAt) &&
           picture(flow, QStringLiteral("Time history"), kTimeHistoryPoints,
                   [&](QPainter& p, const QRectF& area) {
                       paintTimeHistory(p, area, flow.pt(1), r, content.options.exclusions);
                   }) &&
           periodSection(flow, content) && denSection(flow, content) && lnSection(flow, content) &&
           eventSection(flow, content) && assessmentSections(flow, content) &&
           (!content.manifest || layOutManifest(flow, *content.manifest)) && flow.finish();
}

}  // namespace lp::survey
