// Limits by time of day, as planning conditions and licences set them: every interval
// of a given length that starts within given hours is judged against a level; and the
// survey's Lden and Lnight against the WHO 2018 environmental noise guidelines.
#pragma once

#include "assess/assess_input.h"
#include "stats/day_parts.h"
#include "stats/figure_notation.h"

namespace lp::assess {

enum class LimitFigure { Laeq, Lmax, L10, L90 };
// "laeq", "lmax", "l10", "l90".
[[nodiscard]] QString limitFigureName(LimitFigure figure);

struct LimitRule {
    LimitFigure figure = LimitFigure::Laeq;
    qint64 length = 900;  // seconds, a whole part of a day
    int from = 0;         // local hours; to <= from runs over midnight
    int to = 24;
    double db = 0.0;
    QString text;  // as given: "laeq,15min,23-07,45"
};

// An interval judged: its figure as shown, and the margin by which it keeps the limit.
// "LAeq,15min": the figure of a rule as its intervals are labelled.
[[nodiscard]] QString limitLabel(const stats::Notation& notation, const LimitRule& rule);

struct LimitInterval {
    qint64 start = 0;
    qint64 end = 0;
    std::optional<double> figure;  // as shown; set in every judged interval
    std::optional<double> margin;  // db - figure, as shown; pass when >= 0
    bool pass = false;
};

struct LimitRuleResult {
    LimitRule rule;
    qint64 judged = 0;
    // Starting within the hours, but not covered enough (or without the figure: every
    // reading in it out of the measuring range).
    qint64 notJudged = 0;
    qint64 failing = 0;
    std::optional<double> worstMargin;  // the least; on a tie the earliest interval's
    std::optional<qint64> worstStart;
    std::vector<LimitInterval> intervals;  // the judged ones
};

enum class Guideline { Road, Rail, Aircraft, Wind };
// "who-road", ...
[[nodiscard]] QString guidelineName(Guideline guideline);
// What the guideline's values are for: "road traffic noise", ...
[[nodiscard]] QString guidelineSource(Guideline guideline);
// What every output of a guideline says with it: the values are for long-term averages.
[[nodiscard]] QString guidelineNote();

struct GuidelineResult {
    Guideline source = Guideline::Road;
    double ldenValue = 0.0;
    std::optional<double> lnightValue;  // none for wind turbines
    std::optional<double> lden;         // the survey's overall, as shown
    std::optional<double> lnight;
    std::optional<bool> ldenAbove;
    std::optional<bool> lnightAbove;
};

struct LimitOptions {
    std::vector<LimitRule> rules;
    double minCoverage = kMinCoverage;
    std::optional<Guideline> guideline;
    stats::DayPartHours hours;  // for the guideline's Lden and Lnight
};

struct LimitResult {
    std::vector<LimitRuleResult> rules;
    std::optional<GuidelineResult> guideline;
};

[[nodiscard]] LimitResult assessLimits(const SurveyInput& input, const LimitOptions& options);

}  // namespace lp::assess
