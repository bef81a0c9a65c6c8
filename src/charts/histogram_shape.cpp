// Class levels, bar outlines and tick steps of the level histogram.
#include "charts/histogram_shape.h"

#include <algorithm>
#include <cmath>

namespace lp::charts {

double classLevel(int classIndex, stats::Resolution resolution) {
    return resolution == stats::Resolution::TenthDb ? classIndex / 10.0
                                                    : static_cast<double>(classIndex);
}

QList<QPointF> barOutline(const QList<qint64>& counts, stats::Resolution resolution) {
    QList<QPointF> points;
    const qsizetype size = counts.size();
    for (qsizetype j = 0; j < size; ++j) {
        if (counts[j] == 0) {
            continue;
        }
        const double left = classLevel(static_cast<int>(j), resolution);
        const double right = classLevel(static_cast<int>(j) + 1, resolution);
        const double height = static_cast<double>(counts[j]);
        // Neighbouring bars share their edge: the outline steps from one height to
        // the next and comes down to the base line only where a run of bars ends.
        if (j == 0 || counts[j - 1] == 0) {
            points << QPointF(left, 0.0);
        }
        points << QPointF(left, height) << QPointF(right, height);
        if (j + 1 == size || counts[j + 1] == 0) {
            points << QPointF(right, 0.0);
        }
    }
    return points;
}

double niceStep(double span, int parts, double smallest) {
    if (!(span > 0.0) || parts < 1) {
        return smallest;
    }
    const double raw = span / parts;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double normal = raw / magnitude;
    const double factor = normal < 1.5 ? 1.0 : normal < 3.5 ? 2.0 : normal < 7.5 ? 5.0 : 10.0;
    return std::max(factor * magnitude, smallest);
}

}  // namespace lp::charts
