// The report's two pictures, painted with QPainter into a given area (device units,
// `unitsPerPoint` of them a point): the time history of the periods (Leq as bars, L90
// and Lmax as lines, the excluded spans shaded) and the histogram of the counted
// records at 0.1 dB.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>
#include <QTimeZone>
#include <map>
#include <span>
#include <vector>

#include "stats/ln_result.h"
#include "stats/survey.h"

namespace lp::survey {

struct TimeTick {
    qint64 at = 0;  // instant
    QString label;
};

// Ticks at whole local hours (1, 2, 3, 6 or 12 apart, labelled "14:00", midnights with
// their date "2 Jun") or at local midnights (1, 2 or 7 days apart, "Tue 2 Jun"), the
// closest spacing that gives at most `most` ticks from `from` to `to`.
[[nodiscard]] std::vector<TimeTick> timeTicks(qint64 from, qint64 to, const QTimeZone& zone,
                                              int most);

void paintTimeHistory(QPainter& painter, const QRectF& area, double unitsPerPoint,
                      const stats::SurveyResult& result,
                      std::span<const stats::TimeRange> exclusions);

void paintHistogram(QPainter& painter, const QRectF& area, double unitsPerPoint,
                    const stats::LnResult& ln);

// The counts of values by whole dB as bars one dB wide (the background's LA90,T of the
// intervals used); `what` is the legend.
void paintWholeDbHistogram(QPainter& painter, const QRectF& area, double unitsPerPoint,
                           const std::map<int, qint64>& counts, const QString& what);

}  // namespace lp::survey
