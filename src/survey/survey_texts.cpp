// The survey's figures as texts.
#include "survey/survey_texts.h"

#include <QDateTime>
#include <QLocale>
#include <array>
#include <cmath>

#include "stats/figure_text.h"

namespace lp::survey {
namespace {

constexpr std::array<qint64, 13> kPeriodLengths = {60,    300,   600,   900,   1800,  3600, 7200,
                                                   10800, 14400, 21600, 28800, 43200, 86400};

// The column that marks rows holding readings out of range, whose Leq and Lmax are
// then bounds.
const QString kOutOfRangeHeader = QStringLiteral("Out of range");

using stats::levelText;

QString hourText(int hour) {
    return QStringLiteral("%1").arg(hour % 24, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString localTimeText(qint64 instant, const QTimeZone& zone, bool seconds) {
    return QDateTime::fromSecsSinceEpoch(instant, zone)
        .toString(seconds ? QStringLiteral("yyyy-MM-dd HH:mm:ss")
                          : QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString spanEndText(qint64 start, qint64 end, const QTimeZone& zone, bool seconds) {
    const QDateTime from = QDateTime::fromSecsSinceEpoch(start, zone);
    const QDateTime to = QDateTime::fromSecsSinceEpoch(end, zone);
    if (to.time() == QTime(0, 0) && to.date() == from.date().addDays(1)) {
        return seconds ? QStringLiteral("24:00:00") : QStringLiteral("24:00");
    }
    if (from.date() == to.date()) {
        return to.toString(seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    }
    return localTimeText(end, zone, seconds);
}

QString spanText(qint64 start, qint64 end, const QTimeZone& zone) {
    return localTimeText(start, zone) + QStringLiteral(" – ") + spanEndText(start, end, zone);
}

std::span<const qint64> periodLengths() {
    return kPeriodLengths;
}

QString periodLengthText(qint64 seconds) {
    if (seconds % 3600 == 0) {
        return QStringLiteral("%1 h").arg(seconds / 3600);
    }
    if (seconds % 60 == 0) {
        return QStringLiteral("%1 min").arg(seconds / 60);
    }
    return QStringLiteral("%1 s").arg(seconds);
}

QString coverageText(const std::optional<double>& coverage) {
    if (!coverage) {
        return stats::kNoValue;
    }
    const double percent = *coverage * 100.0;
    const double shown = *coverage >= 1.0 ? 100.0 : std::min(99.0, std::round(percent));
    return QStringLiteral("%1 %").arg(shown, 0, 'f', 0);
}

QString countText(qint64 count) {
    return QLocale().toString(count);
}

QString repeatsText(const stats::SurveyResult& r) {
    if (r.repeated + r.conflicting == 0) {
        return {};
    }
    return QStringLiteral("%1 at an instant read before, left out (%2 repeated, %3 conflicting)")
        .arg(countText(r.repeated + r.conflicting), countText(r.repeated),
             countText(r.conflicting));
}

QStringList periodHeaders(const stats::Notation& notation, qint64 length) {
    using stats::Figure;
    return {QStringLiteral("Start"),
            QStringLiteral("End"),
            QStringLiteral("Records"),
            QStringLiteral("Coverage"),
            stats::figureLabel(notation, Figure::Leq, 0, length),
            stats::figureLabel(notation, Figure::Lmax),
            stats::figureLabel(notation, Figure::Lmin),
            stats::figureLabel(notation, Figure::Exceeded, 10, length),
            stats::figureLabel(notation, Figure::Exceeded, 50, length),
            stats::figureLabel(notation, Figure::Exceeded, 90, length),
            kOutOfRangeHeader};
}

QStringList periodCells(const stats::SurveyPeriod& period, const QTimeZone& zone) {
    return {localTimeText(period.start, zone, false),
            spanEndText(period.start, period.end, zone, false),
            countText(period.records),
            coverageText(period.coverage),
            levelText(period.leq),
            levelText(period.lmax),
            levelText(period.lmin),
            levelText(period.l10),
            levelText(period.l50),
            levelText(period.l90),
            stats::outOfRangeText(period.outOfRange)};
}

QStringList denHeaders() {
    return {QStringLiteral("Day"),     QStringLiteral("Lday"),  QStringLiteral("Levening"),
            QStringLiteral("Lnight"),  QStringLiteral("Lden"),  QStringLiteral("Covered: day"),
            QStringLiteral("evening"), QStringLiteral("night"), kOutOfRangeHeader};
}

QStringList denCells(const stats::DayLevels& levels) {
    return {levels.date.isValid() ? levels.date.toString(QStringLiteral("ddd yyyy-MM-dd"))
                                  : kWholeSurvey,
            levelText(levels.day.leq),
            levelText(levels.evening.leq),
            levelText(levels.night.leq),
            levelText(levels.lden),
            coverageText(levels.day.coverage),
            coverageText(levels.evening.coverage),
            coverageText(levels.night.coverage),
            stats::outOfRangeText(levels.outOfRange())};
}

QString ldenLine(const stats::DayLevels& overall) {
    const QString parts =
        QStringLiteral("Lday %1, Levening %2, Lnight %3")
            .arg(stats::decibelsText(overall.day.leq), stats::decibelsText(overall.evening.leq),
                 stats::decibelsText(overall.night.leq));
    if (!overall.lden) {
        return QStringLiteral("Lden %1 (a part of the day has no level; %2)")
            .arg(stats::kNoValue, parts);
    }
    return QStringLiteral("Lden %1 (%2)").arg(stats::decibelsText(overall.lden), parts);
}

QStringList eventHeaders(const stats::Notation& notation) {
    return {QStringLiteral("No."),
            QStringLiteral("Start"),
            QStringLiteral("End"),
            QStringLiteral("Duration (s)"),
            stats::figureLabel(notation, stats::Figure::Lmax),
            stats::figureLabel(notation, stats::Figure::Leq),
            QStringLiteral("SEL"),
            kOutOfRangeHeader};
}

QString levelKindText(const stats::Notation& notation, double adjust) {
    const QString weighting =
        notation.weighting
            ? lp::records::weightingLetter(*notation.weighting) + QStringLiteral(" weighting")
            : QStringLiteral("weighting not known");
    QString response = QStringLiteral("response not known");
    if (notation.response) {
        response = *notation.response == lp::records::Response::Fast ? QStringLiteral("FAST")
                                                                     : QStringLiteral("SLOW");
    }
    const QString adjusted =
        adjust == 0.0 ? QStringLiteral("as measured")
                      : QStringLiteral("every level adjusted by %1").arg(stats::adjustText(adjust));
    return QStringLiteral("%1, %2; %3").arg(weighting, response, adjusted);
}

QStringList eventCells(int number, const stats::LevelEvent& event, const QTimeZone& zone) {
    return {QString::number(number),
            localTimeText(event.start, zone),
            spanEndText(event.start, event.end, zone),
            countText(event.duration),
            levelText(event.lmax),
            levelText(event.leq),
            levelText(event.sel),
            stats::outOfRangeText(event.outOfRange)};
}

QString eventRuleText(const stats::EventRule& rule) {
    return QStringLiteral("at or above %1 lasting at least %2 s; dips shorter than %3 s bridged")
        .arg(stats::decibelsText(rule.threshold))
        .arg(rule.minDuration)
        .arg(rule.bridge);
}

QStringList optionLines(const stats::SurveyOptions& options) {
    const stats::DayPartHours& h = options.dayParts;
    QStringList lines{
        QStringLiteral("Periods of %1 from local midnight")
            .arg(periodLengthText(options.periodLength)),
        QStringLiteral("Day %1–%2 h, evening %2–%3 h, night %3–%1 h; penalties %4 (evening), "
                       "%5 (night)")
            .arg(hourText(h.dayStart), hourText(h.eveningStart), hourText(h.nightStart),
                 stats::decibelsText(h.eveningPenalty), stats::decibelsText(h.nightPenalty))};
    if (const std::optional<stats::EventRule>& rule = options.events) {
        lines << QStringLiteral("Events ") + eventRuleText(*rule);
    } else {
        lines << QStringLiteral("No events looked for");
    }
    return lines;
}

QStringList exclusionTexts(std::span<const stats::TimeRange> exclusions, const QTimeZone& zone) {
    QStringList texts;
    for (const stats::TimeRange& range : exclusions) {
        texts << spanText(range.from, range.to, zone);
    }
    return texts;
}

std::optional<double> surveyCoverage(const stats::SurveyResult& result) {
    if (!result.first || !result.last) {
        return std::nullopt;
    }
    return stats::coverageOf(result.counted, result.interval,
                             *result.last - *result.first + result.interval.value_or(0));
}

}  // namespace lp::survey
