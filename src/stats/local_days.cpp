// Days of a zone in real time.
#include "stats/local_days.h"

#include <QDateTime>

namespace lp::stats {

LocalDays::LocalDays(QTimeZone zone) : zone_(std::move(zone)) {}

LocalDay LocalDays::lookUp(qint64 julianDay) const {
    return records::lookUpDay(zone_, julianDay);
}

const LocalDay& LocalDays::day(qint64 julianDay) const {
    auto it = days_.find(julianDay);
    if (it == days_.end()) {
        it = days_.emplace(julianDay, lookUp(julianDay)).first;
    }
    return it->second;
}

const LocalDay& LocalDays::dayOf(qint64 instant) const {
    constexpr qint64 kEpochJulianDay = 2440588;  // 1970-01-01
    const qint64 guess = kEpochJulianDay + (instant >= 0 ? instant / kSecondsPerDay
                                                         : (instant + 1) / kSecondsPerDay - 1);
    // No zone is a day away from UTC, so the guess is at most one day off.
    const LocalDay* d = &day(guess);
    while (d->start > instant) {
        d = &day(d->julianDay - 1);
    }
    while (d->end <= instant) {
        d = &day(d->julianDay + 1);
    }
    return *d;
}

LocalStamp LocalDays::wallClockAt(qint64 instant) const {
    LocalDay& plain = recentPlainDay_;
    if (instant < plain.start || instant >= plain.end) {
        const LocalDay& d = dayOf(instant);
        if (d.shift != 0 || d.length() != kSecondsPerDay) {
            const QDateTime local = QDateTime::fromSecsSinceEpoch(instant, zone_);
            return {local.date().toJulianDay(), local.time().msecsSinceStartOfDay() / 1000};
        }
        plain = d;
    }
    return {plain.julianDay, static_cast<int>(instant - plain.start)};
}

qint64 LocalDays::instantOfHour(qint64 julianDay, int hour) const {
    const LocalDay& d = day(julianDay);
    return hour >= 24 ? d.end : d.instantOf(hour * 3600);
}

}  // namespace lp::stats
