#include "assess/exposure.h"

#include <QRegularExpression>
#include <cmath>
#include <map>

#include "stats/figure_text.h"

namespace lp::assess {
namespace {

constexpr double kEightHours = 8.0 * 3600.0;

// The day (julian) a counted record's exposure belongs to: its calendar day, or the
// day its shift began on; none when it lies outside the shift.
std::optional<qint64> exposureDayOf(const stats::LocalDays& days, qint64 instant,
                                    const std::optional<Shift>& shift) {
    const stats::LocalStamp clock = days.wallClockAt(instant);
    if (!shift) {
        return clock.julianDay;
    }
    const int from = shift->fromMinute * 60;
    const int to = shift->toMinute * 60;
    if (from < to) {
        return clock.secondOfDay >= from && clock.secondOfDay < to ? std::optional(clock.julianDay)
                                                                   : std::nullopt;
    }
    // Over midnight: the hours after it belong to the shift begun the day before.
    if (clock.secondOfDay >= from) {
        return clock.julianDay;
    }
    return clock.secondOfDay < to ? std::optional(clock.julianDay - 1) : std::nullopt;
}

}  // namespace

QString verdictText(ExposureVerdict verdict) {
    switch (verdict) {
        case ExposureVerdict::Below:
            return QStringLiteral("below the lower action value");
        case ExposureVerdict::LowerAction:
            return QStringLiteral("lower action value (80 dB(A))");
        case ExposureVerdict::UpperAction:
            return QStringLiteral("upper action value (85 dB(A))");
        case ExposureVerdict::LimitValue:
            return QStringLiteral("exposure limit value (87 dB(A))");
    }
    return {};
}

QString verdictKey(ExposureVerdict verdict) {
    switch (verdict) {
        case ExposureVerdict::Below:
            return QStringLiteral("below");
        case ExposureVerdict::LowerAction:
            return QStringLiteral("lower_action_value");
        case ExposureVerdict::UpperAction:
            return QStringLiteral("upper_action_value");
        case ExposureVerdict::LimitValue:
            return QStringLiteral("exposure_limit_value");
    }
    return {};
}

ExposureVerdict verdictOf(double lex8h) {
    const double shown = stats::shownLevel(lex8h);
    if (shown >= 87.0) {
        return ExposureVerdict::LimitValue;
    }
    if (shown >= 85.0) {
        return ExposureVerdict::UpperAction;
    }
    if (shown >= 80.0) {
        return ExposureVerdict::LowerAction;
    }
    return ExposureVerdict::Below;
}

std::optional<QString> shiftProblem(const Shift& shift) {
    constexpr int kMinutesPerDay = 24 * 60;
    if (shift.fromMinute < 0 || shift.fromMinute >= kMinutesPerDay || shift.toMinute < 0 ||
        shift.toMinute >= kMinutesPerDay || shift.fromMinute == shift.toMinute) {
        return QStringLiteral("a shift runs from one time of day to another (like 07:00-15:30)");
    }
    return std::nullopt;
}

std::optional<Shift> shiftOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d\\d):(\\d\\d)-(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto minuteOf = [&match](int hour, int minute) {
        const int h = match.captured(hour).toInt();
        const int m = match.captured(minute).toInt();
        return h < 24 && m < 60 ? h * 60 + m : -1;
    };
    const Shift shift{minuteOf(1, 2), minuteOf(3, 4)};
    return shiftProblem(shift) ? std::nullopt : std::optional(shift);
}

ExposureResult assessExposure(const SurveyInput& input, const ExposureOptions& options) {
    const qint64 interval = input.records.interval.value_or(0);
    std::map<qint64, stats::EnergyMean> byDay;
    for (const stats::LevelSample& sample : input.samples) {
        if (const std::optional<qint64> day =
                exposureDayOf(input.records.days, sample.time, options.shift)) {
            byDay[*day].add(sample);
        }
    }
    ExposureResult result;
    double weekEnergy = 0.0;
    int daysWithLevel = 0;
    for (const auto& [julianDay, energy] : byDay) {
        ExposureDay day;
        day.date = QDate::fromJulianDay(julianDay);
        day.records = energy.records();
        day.outOfRange = energy.outOfRange();
        const double teSeconds = options.teHours ? *options.teHours * 3600.0
                                                 : double(energy.records()) * double(interval);
        day.teSeconds = qint64(std::llround(teSeconds));
        day.laeq = energy.leq();
        if (day.laeq && teSeconds > 0.0) {
            day.lex8h = *day.laeq + 10.0 * std::log10(teSeconds / kEightHours);
            day.dose = 100.0 * std::pow(10.0, (*day.lex8h - 85.0) / 10.0);
            day.verdict = verdictOf(*day.lex8h);
            weekEnergy += stats::energyOf(*day.lex8h);
            ++daysWithLevel;
        }
        result.days.push_back(day);
    }
    if (daysWithLevel > 1) {
        result.lexW = stats::levelOf(weekEnergy / 5.0);
    }
    return result;
}

}  // namespace lp::assess
