// The geometry of a level histogram: where each class stands in dB, the outline
// that draws the counts as bars, and tick spacings that read well.
#pragma once

#include <QList>
#include <QPointF>

#include "stats/resolution.h"

namespace lp::charts {

// The level of class j in dB: j/10 at 0.1 dB, j at 1 dB (65.3, never 65.30000001).
[[nodiscard]] double classLevel(int classIndex, stats::Resolution resolution);

// The outline of the bars: class j with count c > 0 is drawn from its own level to
// the next class's level, c high; empty classes stay on the base line.
[[nodiscard]] QList<QPointF> barOutline(const QList<qint64>& counts, stats::Resolution resolution);

// A step of 1, 2 or 5 times a power of ten that cuts span into about `parts`
// pieces, and never smaller than `smallest`.
[[nodiscard]] double niceStep(double span, int parts, double smallest);

}  // namespace lp::charts
