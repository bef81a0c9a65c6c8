#include "assess/background.h"

#include <cmath>

#include "stats/figure_text.h"

namespace lp::assess {

namespace {

// The whole dB a value counts in: the value as shown (0.1 dB), rounded, halves up.
int wholeDecibels(double level) {
    return int(std::floor(stats::shownLevel(level) + 0.5));
}

std::optional<double> typicalOf(const BackgroundPart& part, Typical typical) {
    switch (typical) {
        case Typical::Mode:
            return part.mode;
        case Typical::Median:
            return part.median;
        case Typical::P10:
            return part.p10;
    }
    return std::nullopt;
}

void addFigures(BackgroundPart& part, Typical typical) {
    for (double value : part.values) {
        ++part.histogram[wholeDecibels(value)];
    }
    qint64 most = 0;
    for (const auto& [decibels, count] : part.histogram) {
        if (count > most) {  // ascending, so a tie keeps the lowest
            most = count;
            part.mode = double(decibels);
        }
    }
    part.median = percentileOf(part.values, 50.0);
    part.p10 = percentileOf(part.values, 10.0);
    part.typical = typicalOf(part, typical);
}

// The NSW ABL per day and part over the 15 minute intervals, and the RBL per part.
RblResult rblOf(const SurveyInput& input, std::span<const stats::SurveyPeriod> intervals,
                double minCoverage) {
    RblResult result;
    result.parts = nswParts();
    const size_t partCount = result.parts.size();
    std::map<qint64, std::vector<std::vector<double>>> byDay;  // julian day -> part -> LA90
    for (const stats::SurveyPeriod& interval : intervals) {
        const int part = partAt(input.records.days, interval.start, result.parts);
        if (part < 0 || !isCovered(interval, minCoverage) || !interval.l90) {
            continue;
        }
        const stats::LocalStamp clock = input.records.days.wallClockAt(interval.start);
        const DayPart& hours = result.parts[size_t(part)];
        // A part over midnight belongs to the day it starts.
        const bool afterMidnight = hours.to <= hours.from && clock.secondOfDay / 3600 < hours.to;
        auto& values = byDay[clock.julianDay - (afterMidnight ? 1 : 0)];
        values.resize(partCount);
        values[size_t(part)].push_back(*interval.l90);
    }
    std::vector<std::vector<double>> ablsByPart(partCount);
    for (const auto& [julianDay, values] : byDay) {
        AblDay day{QDate::fromJulianDay(julianDay), {}};
        for (size_t p = 0; p < partCount; ++p) {
            day.abl.push_back(percentileOf(values[p], 10.0));
            if (day.abl.back()) {
                ablsByPart[p].push_back(*day.abl.back());
            }
        }
        result.days.push_back(std::move(day));
    }
    for (const std::vector<double>& abls : ablsByPart) {
        result.rbl.push_back(percentileOf(abls, 50.0));
    }
    return result;
}

}  // namespace

std::vector<DayPart> nswParts() {
    return {{QStringLiteral("day"), 7, 18},
            {QStringLiteral("evening"), 18, 22},
            {QStringLiteral("night"), 22, 7}};
}

BackgroundResult assessBackground(const SurveyInput& input, const BackgroundOptions& options) {
    BackgroundResult result;
    result.intervalSeconds = options.interval;
    for (const DayPart& part : options.parts) {
        result.parts.emplace_back().part = part;
    }
    const std::vector<stats::SurveyPeriod> intervals = referenceIntervals(input, options.interval);
    for (const stats::SurveyPeriod& interval : intervals) {
        const int part = partAt(input.records.days, interval.start, options.parts);
        if (part < 0) {
            continue;
        }
        BackgroundPart& figures = result.parts[size_t(part)];
        if (isCovered(interval, options.minCoverage) && interval.l90) {
            ++figures.intervalsUsed;
            figures.values.push_back(*interval.l90);
            figures.starts.push_back(interval.start);
            figures.ends.push_back(interval.end);
        } else {
            ++figures.intervalsSkipped;
        }
    }
    for (BackgroundPart& part : result.parts) {
        addFigures(part, options.typical);
    }
    if (options.rbl) {
        constexpr qint64 kNswInterval = 900;  // LA90,15min whatever the interval above
        result.rbl =
            options.interval == kNswInterval
                ? rblOf(input, intervals, options.minCoverage)
                : rblOf(input, referenceIntervals(input, kNswInterval), options.minCoverage);
    }
    return result;
}

QString typicalName(Typical typical) {
    switch (typical) {
        case Typical::Mode:
            return QStringLiteral("the mode");
        case Typical::Median:
            return QStringLiteral("the median");
        case Typical::P10:
            return QStringLiteral("the 10th percentile");
    }
    return {};
}

}  // namespace lp::assess
