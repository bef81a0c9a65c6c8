#include "assess/assess_input.h"

#include <algorithm>
#include <cmath>

namespace lp::assess {

QString hoursText(int from, int to) {
    return QStringLiteral("%1-%2")
        .arg(from, 2, 10, QLatin1Char('0'))
        .arg(to % 24, 2, 10, QLatin1Char('0'));
}

std::vector<DayPart> dayAndNight() {
    return {{QStringLiteral("day"), 7, 23}, {QStringLiteral("night"), 23, 7}};
}

int partAt(const stats::LocalDays& days, qint64 instant, std::span<const DayPart> parts) {
    const int hour = days.wallClockAt(instant).secondOfDay / 3600;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].holdsHour(hour)) {
            return int(i);
        }
    }
    return -1;
}

bool isCovered(const stats::SurveyPeriod& interval, double minCoverage) {
    return interval.coverage && *interval.coverage >= minCoverage;
}

std::vector<stats::SurveyPeriod> referenceIntervals(const SurveyInput& input, qint64 length) {
    return stats::surveyPeriods(input.records, input.samples, length).list;
}

std::optional<double> percentileOf(std::vector<double> values, double p) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const double rank = p / 100.0 * double(values.size() - 1);
    const auto below = size_t(std::floor(rank));
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (rank - double(below)) * (values[above] - values[below]);
}

}  // namespace lp::assess
