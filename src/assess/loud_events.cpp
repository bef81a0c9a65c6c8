#include "assess/loud_events.h"

#include <algorithm>
#include <functional>
#include <map>

namespace lp::assess {
namespace {

enum Part { kDay = 0, kEvening = 1, kNight = 2 };

// The day (julian) whose parts hold a local wall clock, and the part: the hours after
// midnight before the day begins are the night of the day before.
std::pair<qint64, Part> partOf(const stats::LocalStamp& clock, const stats::DayPartHours& hours) {
    const int hour = clock.secondOfDay / 3600;
    if (hour < hours.dayStart) {
        return {clock.julianDay - 1, kNight};
    }
    if (hour < hours.eveningStart) {
        return {clock.julianDay, kDay};
    }
    if (hour < hours.nightStart) {
        return {clock.julianDay, kEvening};
    }
    return {clock.julianDay, kNight};
}

// The highest level of each window of a night, kept per night as the windows close.
class NightWindows {
public:
    NightWindows(const stats::LocalDays& days, const stats::DayPartHours& hours, qint64 window)
        : days_(days), hours_(hours), window_(window) {}

    void add(const stats::LevelSample& sample) {
        if (!sample.inRange()) {
            return;
        }
        if (!open_ || sample.time < start_ || sample.time >= start_ + window_) {
            close();
            const stats::LocalDay& day = days_.dayOf(sample.time);
            start_ = day.start + (sample.time - day.start) / window_ * window_;
            max_ = sample.level;
            open_ = true;
            return;
        }
        max_ = std::max(max_, sample.level);
    }
    void close() {
        if (!open_) {
            return;
        }
        open_ = false;
        const auto [day, part] = partOf(days_.wallClockAt(start_), hours_);
        if (part == kNight) {
            maxima[day].push_back(max_);
        }
    }

    std::map<qint64, std::vector<double>> maxima;  // by the day the night begins on

private:
    const stats::LocalDays& days_;
    stats::DayPartHours hours_;
    qint64 window_;
    bool open_ = false;
    qint64 start_ = 0;
    double max_ = 0.0;
};

}  // namespace

std::optional<QString> windowProblem(qint64 window) {
    if (window <= 0 || 3600 % window != 0) {
        return QStringLiteral("a window is a whole part of an hour (like 120s, 5min or 1h)");
    }
    return std::nullopt;
}

LoudEventResult assessLoudEvents(const SurveyInput& input, const LoudEventOptions& options) {
    LoudEventResult result;
    result.above = options.rule.threshold;
    if (input.samples.empty()) {
        return result;
    }
    const stats::LocalDays& days = input.records.days;
    const auto firstDay = partOf(days.wallClockAt(input.samples.front().time), options.hours).first;
    const auto lastDay = partOf(days.wallClockAt(input.samples.back().time), options.hours).first;
    for (qint64 day = firstDay; day <= lastDay; ++day) {
        result.days.push_back({QDate::fromJulianDay(day), {}, std::nullopt});
    }
    const platform::LargeVector<stats::LevelEvent> events =
        stats::findEvents(input.samples, options.rule, input.records.interval.value_or(0));
    for (const stats::LevelEvent& event : events) {
        const auto [day, part] = partOf(days.wallClockAt(event.start), options.hours);
        ++result.days[size_t(day - firstDay)].na[size_t(part)];
    }
    NightWindows windows(days, options.hours, options.window);
    for (const stats::LevelSample& sample : input.samples) {
        windows.add(sample);
    }
    windows.close();
    for (auto& [day, maxima] : windows.maxima) {
        if (maxima.size() < size_t(options.nth) || options.nth < 1) {
            continue;
        }
        std::nth_element(maxima.begin(), maxima.begin() + (options.nth - 1), maxima.end(),
                         std::greater<>());
        result.days[size_t(day - firstDay)].nthHighest = maxima[size_t(options.nth - 1)];
    }
    return result;
}

QString ordinal(int n) {
    const int last = n % 10;
    const bool teen = n % 100 >= 11 && n % 100 <= 13;
    const char* suffix =
        teen ? "th" : (last == 1 ? "st" : (last == 2 ? "nd" : (last == 3 ? "rd" : "th")));
    return QString::number(n) + QLatin1String(suffix);
}

}  // namespace lp::assess
