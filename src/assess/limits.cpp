#include "assess/limits.h"

#include <map>

#include "stats/figure_text.h"

namespace lp::assess {
namespace {

// The WHO 2018 guideline values: Lden, and Lnight where there is one.
struct GuidelineValues {
    double lden = 0.0;
    std::optional<double> lnight;
};

GuidelineValues valuesOf(Guideline guideline) {
    switch (guideline) {
        case Guideline::Road:
            return {53.0, 45.0};
        case Guideline::Rail:
            return {54.0, 44.0};
        case Guideline::Aircraft:
            return {45.0, 40.0};
        case Guideline::Wind:
            return {45.0, std::nullopt};
    }
    return {};
}

std::optional<double> figureOf(const stats::SurveyPeriod& interval, LimitFigure figure) {
    switch (figure) {
        case LimitFigure::Laeq:
            return interval.leq;
        case LimitFigure::Lmax:
            return interval.lmax;
        case LimitFigure::L10:
            return interval.l10;
        case LimitFigure::L90:
            return interval.l90;
    }
    return std::nullopt;
}

LimitRuleResult judged(const LimitRule& rule, std::span<const stats::SurveyPeriod> intervals,
                       const stats::LocalDays& days, double minCoverage) {
    LimitRuleResult result;
    result.rule = rule;
    const DayPart hours{QString(), rule.from, rule.to};
    for (const stats::SurveyPeriod& interval : intervals) {
        if (!hours.holdsHour(days.wallClockAt(interval.start).secondOfDay / 3600)) {
            continue;
        }
        const std::optional<double> figure = stats::shownLevel(figureOf(interval, rule.figure));
        // Too little of it recorded, or nothing in it that makes the figure (every
        // reading out of the measuring range): no verdict either way.
        if (!isCovered(interval, minCoverage) || !figure) {
            ++result.notJudged;
            continue;
        }
        const double margin = stats::shownLevel(rule.db - *figure);
        const bool pass = margin >= 0.0;
        result.intervals.push_back({interval.start, interval.end, figure, margin, pass});
        ++result.judged;
        result.failing += pass ? 0 : 1;
        if (!result.worstMargin || margin < *result.worstMargin) {
            result.worstMargin = margin;
            result.worstStart = interval.start;
        }
    }
    return result;
}

GuidelineResult comparedWith(Guideline guideline, const SurveyInput& input,
                             const stats::DayPartHours& hours) {
    const GuidelineValues values = valuesOf(guideline);
    const stats::DayLevels overall = stats::denLevels(input.records, input.samples, hours).overall;
    GuidelineResult result;
    result.source = guideline;
    result.ldenValue = values.lden;
    result.lnightValue = values.lnight;
    result.lden = stats::shownLevel(overall.lden);
    result.lnight = stats::shownLevel(overall.night.leq);
    if (result.lden) {
        result.ldenAbove = *result.lden > values.lden;
    }
    if (result.lnight && values.lnight) {
        result.lnightAbove = *result.lnight > *values.lnight;
    }
    return result;
}

}  // namespace

QString limitFigureName(LimitFigure figure) {
    switch (figure) {
        case LimitFigure::Laeq:
            return QStringLiteral("laeq");
        case LimitFigure::Lmax:
            return QStringLiteral("lmax");
        case LimitFigure::L10:
            return QStringLiteral("l10");
        case LimitFigure::L90:
            return QStringLiteral("l90");
    }
    return {};
}

QString guidelineName(Guideline guideline) {
    switch (guideline) {
        case Guideline::Road:
            return QStringLiteral("who-road");
        case Guideline::Rail:
            return QStringLiteral("who-rail");
        case Guideline::Aircraft:
            return QStringLiteral("who-aircraft");
        case Guideline::Wind:
            return QStringLiteral("who-wind");
    }
    return {};
}

QString guidelineSource(Guideline guideline) {
    switch (guideline) {
        case Guideline::Road:
            return QStringLiteral("road traffic noise");
        case Guideline::Rail:
            return QStringLiteral("railway noise");
        case Guideline::Aircraft:
            return QStringLiteral("aircraft noise");
        case Guideline::Wind:
            return QStringLiteral("wind turbine noise");
    }
    return {};
}

QString guidelineNote() {
    return QStringLiteral(
        "The WHO guideline values (Environmental Noise Guidelines for the European Region, "
        "2018) are for long-term averages over a year: a survey of days or weeks is only an "
        "indication.");
}

LimitResult assessLimits(const SurveyInput& input, const LimitOptions& options) {
    LimitResult result;
    // One list of intervals for each length the rules ask for.
    std::map<qint64, std::vector<stats::SurveyPeriod>> byLength;
    for (const LimitRule& rule : options.rules) {
        auto [at, added] = byLength.try_emplace(rule.length);
        if (added) {
            at->second = referenceIntervals(input, rule.length);
        }
        result.rules.push_back(judged(rule, at->second, input.records.days, options.minCoverage));
    }
    if (options.guideline) {
        result.guideline = comparedWith(*options.guideline, input, options.hours);
    }
    return result;
}

QString limitLabel(const stats::Notation& notation, const LimitRule& rule) {
    switch (rule.figure) {
        case LimitFigure::Laeq:
            return stats::figureLabel(notation, stats::Figure::Leq, 0, rule.length);
        case LimitFigure::Lmax:
            return stats::figureLabel(notation, stats::Figure::Lmax, 0, rule.length);
        case LimitFigure::L10:
            return stats::figureLabel(notation, stats::Figure::Exceeded, 10, rule.length);
        case LimitFigure::L90:
            return stats::figureLabel(notation, stats::Figure::Exceeded, 90, rule.length);
    }
    return {};
}

}  // namespace lp::assess
