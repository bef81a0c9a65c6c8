// Loud events as night-time noise guidance counts them: the number above a level (NA)
// per day and part of the day, and per night the nth highest maximum of consecutive
// windows (the 10th highest LAFmax of 2-minute windows, by default).
#pragma once

#include <QDate>
#include <array>

#include "assess/assess_input.h"
#include "stats/day_parts.h"
#include "stats/level_events.h"

namespace lp::assess {

// Why windows of `window` seconds cannot be used: each must be a whole part of an hour,
// so that the windows aligned to local midnight each lie in one part of the day. None
// when they can.
[[nodiscard]] std::optional<QString> windowProblem(qint64 window);

struct LoudEventOptions {
    stats::EventRule rule;      // the events rule of the survey (threshold = --above)
    stats::DayPartHours hours;  // day, evening, night
    qint64 window = 120;        // seconds, aligned to local midnight
    int nth = 10;
};

struct LoudEventDay {
    QDate date;                  // the day the parts begin on
    std::array<qint64, 3> na{};  // events that start in the day, evening, night
    // The nth highest window maximum of the night that begins on this day; none when
    // the night has fewer windows with a level.
    std::optional<double> nthHighest;
};

struct LoudEventResult {
    double above = 0.0;
    std::vector<LoudEventDay> days;
};

// "1st", "2nd", "3rd", "10th", "21st": which highest maximum is shown.
[[nodiscard]] QString ordinal(int n);

[[nodiscard]] LoudEventResult assessLoudEvents(const SurveyInput& input,
                                               const LoudEventOptions& options);

}  // namespace lp::assess
