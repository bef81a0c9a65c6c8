// Record stamps read by hand, days of a zone in real time, and the rule for the hour
// that is shown twice.
#include "records/record_stamp.h"

#include <QDateTime>
#include <cstring>

namespace lp::records {
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

constexpr qint64 kEpochJulianDay = 2440588;  // 1970-01-01

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

LocalDay lookUpDay(const QTimeZone& zone, qint64 julianDay) {
    const QDate date = QDate::fromJulianDay(julianDay);
    LocalDay day;
    day.julianDay = julianDay;
    day.start = QDateTime(date, QTime(0, 0), zone).toSecsSinceEpoch();
    day.end = QDateTime(date.addDays(1), QTime(0, 0), zone).toSecsSinceEpoch();
    if (!zone.hasTransitions()) {
        return day;
    }
    const QTimeZone::OffsetData change = zone.nextTransition(utcAt(day.start - 1));
    if (!change.atUtc.isValid()) {
        return day;
    }
    const qint64 at = change.atUtc.toSecsSinceEpoch();
    if (at < day.start || at >= day.end) {
        return day;
    }
    day.changeAt = at;
    day.shift = change.offsetFromUtc - zone.offsetFromUtc(utcAt(at - 1));
    return day;
}

StampReader::StampReader(QTimeZone zone) : zone_(std::move(zone)) {}

std::optional<StampTime> StampReader::next(QByteArrayView stamp) {
    if (stamp.size() != kStampBytes) {
        return std::nullopt;
    }
    if (std::memcmp(stamp.data(), lastMinute_, kStampMinuteBytes) != 0) {
        if (std::memcmp(stamp.data(), lastMinute_, kDateBytes) != 0) {
            const std::optional<qint64> julianDay = stampDay(stamp);
            day_ = nullptr;
            if (julianDay) {
                auto it = days_.find(*julianDay);
                if (it == days_.end()) {
                    it = days_.emplace(*julianDay, lookUpDay(zone_, *julianDay)).first;
                }
                day_ = &it->second;
            }
        }
        std::memcpy(lastMinute_, stamp.data(), kStampMinuteBytes);
        minute_ = stampMinute(stamp);
    }
    const std::optional<int> seconds = stampSeconds(stamp);
    if (!day_ || !minute_ || !seconds) {
        return std::nullopt;
    }
    const int secondOfDay = *minute_ + *seconds;
    const qint64 instant =
        day_->instantOf(secondOfDay, hasPrevious_ ? std::optional(previous_) : std::nullopt);
    previous_ = instant;
    hasPrevious_ = true;
    // The wall clock read as if it were UTC, less the instant, is the offset.
    const qint64 wall = (day_->julianDay - kEpochJulianDay) * kSecondsPerDay + secondOfDay;
    return StampTime{instant, static_cast<int>(wall - instant)};
}

}  // namespace lp::records
