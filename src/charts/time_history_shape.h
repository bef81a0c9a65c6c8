// The shape of a survey's time history, the same in the Survey window's chart and in the
// report's picture: the span of levels its axis shows, and the runs of a figure's line
// across the periods.
#pragma once

#include <QList>
#include <QPointF>
#include <optional>
#include <vector>

#include "stats/survey_periods.h"

namespace lp::charts {

// The levels the axis spans (dB).
struct LevelSpan {
    double bottom = 0;
    double top = 0;
};

// From 5 dB under the lowest Leq or L90 of the periods with a Leq, down to a multiple of
// 10, to 2 dB over their highest Lmax, up to a multiple of 10; none when no period has
// a Leq.
[[nodiscard]] std::optional<LevelSpan> levelSpan(const std::vector<stats::SurveyPeriod>& periods);

// The runs of one figure's line: a point at each period's middle (seconds since the
// epoch, as x) with the figure (dB, as y); a period without the figure ends a run.
[[nodiscard]] QList<QList<QPointF>> figureRuns(const std::vector<stats::SurveyPeriod>& periods,
                                               std::optional<double> stats::SurveyPeriod::*figure);

}  // namespace lp::charts
