// Limits by time of day, as planning conditions and licences set them: every interval
// of a given length that starts within given hours is judged against a level; and the
// survey's Lden and Lnight against the WHO 2018 environmental noise guidelines.
#pragma once

#include "assess/assess_input.h"
#include "stats/day_parts.h"

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

struct LimitInterval {
    qint64 start = 0;
    qint64 end = 0;
    std::optional<double> figure;
    std::optional<double> margin;  // db - figure, as shown
    bool pass = false;
};

struct LimitRuleResult {
    LimitRule rule;
    qint64 judged = 0;
    qint64 notJudged = 0;  // starting within the hours, but not covered enough
    qint64 failing = 0;
    std::optional<double> worstMargin;
    std::optional<qint64> worstStart;
    std::vector<LimitInterval> intervals;  // the judged ones
};

enum class Guideline { Road, Rail, Aircraft, Wind };
// "who-road", ...
[[nodiscard]] QString guidelineName(Guideline guideline);

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
