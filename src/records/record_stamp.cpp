// Record stamps read by hand, days of a zone in real time, and the rule for the hour
// that is shown twice.
#include "records/record_stamp.h"

#include <QDateTime>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/iso_time.h"

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

int twoDigits(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

// Whether the 19 bytes read "dddd/dd/dd dd:dd:dd", d a digit: per position the lowest
// and the highest byte allowed. Sixteen positions are looked at at once where the
// processor can, in two overlapping pieces.
bool hasStampShape(const char* p) {
    static constexpr char kLowest[] = "0000/00/00 00:00:00";
    static constexpr char kHighest[] = "9999/99/99 99:99:99";
#ifdef __SSE2__
    const auto within = [](const char* bytes, const char* lowest, const char* highest) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lowest));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(highest));
        const __m128i clamped = _mm_min_epu8(_mm_max_epu8(v, lo), hi);
        return _mm_movemask_epi8(_mm_cmpeq_epi8(clamped, v)) == 0xFFFF;
    };
    return within(p, kLowest, kHighest) && within(p + 3, kLowest + 3, kHighest + 3);
#else
    bool shaped = true;
    for (int i = 0; i < 19; ++i) {
        shaped &= (p[i] >= kLowest[i]) & (p[i] <= kHighest[i]);
    }
    return shaped;
#endif
}

// Days of a month of the Gregorian calendar, as QDate counts them.
int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

char* putIsoStamp(char* out, QByteArrayView t) {
    if (t.size() != 19 || !hasStampShape(t.data())) {
        return nullptr;
    }
    const char* p = t.data();
    const int year = twoDigits(p) * 100 + twoDigits(p + 2);
    const int month = twoDigits(p + 5);
    const int day = twoDigits(p + 8);
    if (year < 1 || month < 1 || month > 12 || day < 1 ||
        (day > 28 && day > daysInMonth(year, month)) || twoDigits(p + 11) > 23 ||
        twoDigits(p + 14) > 59 || twoDigits(p + 17) > 59) {
        return nullptr;
    }
    std::memcpy(out, p, 19);
    out[4] = '-';
    out[7] = '-';
    out[10] = 'T';
    return out + 19;
}

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
    day.shift = platform::zoneOffsetAt(zone, at) - platform::zoneOffsetAt(zone, at - 1);
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
