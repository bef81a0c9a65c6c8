// Days of a zone in real time, and time stamps read by hand.
#include "stats/local_days.h"

#include <QDateTime>

namespace lp::stats {
namespace {

// The value of `count` decimal digits from `at`; -1 when one of them is no digit.
int digits(QByteArrayView text, qsizetype at, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[at + i]) - unsigned('0');
        if (digit > 9) {
            return -1;
        }
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
}

QDateTime utcAt(qint64 instant) {
    return QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc());
}

}  // namespace

std::optional<qint64> stampDay(QByteArrayView stamp) {
    if (stamp.size() < 10 || stamp[4] != '/' || stamp[7] != '/') {
        return std::nullopt;
    }
    const int year = digits(stamp, 0, 4);
    const int month = digits(stamp, 5, 2);
    const int day = digits(stamp, 8, 2);
    const QDate date(year, month, day);
    if (year < 0 || month < 0 || day < 0 || !date.isValid()) {
        return std::nullopt;
    }
    return date.toJulianDay();
}

std::optional<int> stampMinute(QByteArrayView stamp) {
    if (stamp.size() < kStampMinuteBytes || stamp[10] != ' ' || stamp[13] != ':') {
        return std::nullopt;
    }
    const int hour = digits(stamp, 11, 2);
    const int minute = digits(stamp, 14, 2);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return std::nullopt;
    }
    return hour * 3600 + minute * 60;
}

std::optional<LocalStamp> readStamp(QByteArrayView stamp) {
    const std::optional<int> seconds = stampSeconds(stamp);
    const std::optional<int> minute = seconds ? stampMinute(stamp) : std::nullopt;
    const std::optional<qint64> day = minute ? stampDay(stamp) : std::nullopt;
    if (!day) {
        return std::nullopt;
    }
    return LocalStamp{*day, *minute + *seconds};
}

qint64 LocalDay::instantOf(int secondOfDay, std::optional<qint64> previous) const {
    if (shift == 0) {
        return start + secondOfDay;
    }
    // The wall-clock second of the change, counted in the offset before it.
    const qint64 wallAtChange = changeAt - start;
    if (shift > 0) {
        return secondOfDay < wallAtChange + shift ? start + secondOfDay
                                                  : start + secondOfDay - shift;
    }
    const int back = -shift;
    if (secondOfDay < wallAtChange - back) {
        return start + secondOfDay;
    }
    if (secondOfDay >= wallAtChange) {
        return start + secondOfDay + back;
    }
    const qint64 first = start + secondOfDay;
    return previous && *previous >= first ? first + back : first;
}

int LocalDay::instantsOf(int secondOfDay, qint64 (&instants)[2]) const {
    const qint64 wallAtChange = changeAt - start;
    if (shift > 0 && secondOfDay >= wallAtChange && secondOfDay < wallAtChange + shift) {
        return 0;
    }
    instants[0] = instantOf(secondOfDay);
    if (shift < 0 && secondOfDay >= wallAtChange + shift && secondOfDay < wallAtChange) {
        instants[1] = instants[0] - shift;
        return 2;
    }
    return 1;
}

LocalDays::LocalDays(QTimeZone zone) : zone_(std::move(zone)) {}

LocalDay LocalDays::lookUp(qint64 julianDay) const {
    const QDate date = QDate::fromJulianDay(julianDay);
    LocalDay day;
    day.julianDay = julianDay;
    day.start = QDateTime(date, QTime(0, 0), zone_).toSecsSinceEpoch();
    day.end = QDateTime(date.addDays(1), QTime(0, 0), zone_).toSecsSinceEpoch();
    if (!zone_.hasTransitions()) {
        return day;
    }
    const QTimeZone::OffsetData change = zone_.nextTransition(utcAt(day.start - 1));
    if (!change.atUtc.isValid()) {
        return day;
    }
    const qint64 at = change.atUtc.toSecsSinceEpoch();
    if (at < day.start || at >= day.end) {
        return day;
    }
    day.changeAt = at;
    day.shift = change.offsetFromUtc - zone_.offsetFromUtc(utcAt(at - 1));
    return day;
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
