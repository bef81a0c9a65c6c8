#include "charts/time_history_shape.h"

#include <algorithm>
#include <cmath>

namespace lp::charts {

std::optional<LevelSpan> levelSpan(const std::vector<stats::SurveyPeriod>& periods) {
    double low = 1e9;
    double high = -1e9;
    for (const stats::SurveyPeriod& period : periods) {
        if (period.leq) {
            low = std::min({low, *period.leq, period.l90.value_or(*period.leq)});
            high = std::max(high, period.lmax.value_or(*period.leq));
        }
    }
    if (high < low) {
        return std::nullopt;
    }
    return LevelSpan{std::floor((low - 5) / 10) * 10, std::ceil((high + 2) / 10) * 10};
}

QList<QList<QPointF>> figureRuns(const std::vector<stats::SurveyPeriod>& periods,
                                 std::optional<double> stats::SurveyPeriod::*figure) {
    QList<QList<QPointF>> runs{{}};
    for (const stats::SurveyPeriod& period : periods) {
        const std::optional<double>& value = period.*figure;
        if (!value) {
            if (!runs.back().isEmpty()) {
                runs.append(QList<QPointF>());
            }
            continue;
        }
        runs.back().append({static_cast<double>(period.start + period.end) / 2, *value});
    }
    if (runs.back().isEmpty()) {
        runs.removeLast();
    }
    return runs;
}

}  // namespace lp::charts
