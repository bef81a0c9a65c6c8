// Instants as ISO 8601 text with the UTC offset, and the offsets of local time per hour.
#include "platform/iso_time.h"

#include <QDate>
#include <cstdlib>

namespace lp::platform {
namespace {

constexpr qint64 kSecondsPerHour = 3600;
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kEpochJulianDay = 2440588;  // 1970-01-01

char* putDigits(char* out, int value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + count;
}

// The offset of the system's local time at an instant.
int localOffsetAt(qint64 instant) {
    return QDateTime::fromSecsSinceEpoch(instant).offsetFromUtc();
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

char* putUtcOffset(char* out, int offset) {
    const int minutes = std::abs(offset) / 60;
    *out++ = offset < 0 ? '-' : '+';
    out = putDigits(out, minutes / 60, 2);
    *out++ = ':';
    return putDigits(out, minutes % 60, 2);
}

char* putIsoTime(char* out, qint64 instant, int offset) {
    const qint64 wall = instant + offset;
    const qint64 days = floorDiv(wall, kSecondsPerDay);
    const int second = static_cast<int>(wall - days * kSecondsPerDay);
    int year = 0;
    int month = 0;
    int day = 0;
    QDate::fromJulianDay(kEpochJulianDay + days).getDate(&year, &month, &day);
    out = putDigits(out, year, 4);
    *out++ = '-';
    out = putDigits(out, month, 2);
    *out++ = '-';
    out = putDigits(out, day, 2);
    *out++ = 'T';
    out = putDigits(out, second / 3600, 2);
    *out++ = ':';
    out = putDigits(out, second / 60 % 60, 2);
    *out++ = ':';
    out = putDigits(out, second % 60, 2);
    return putUtcOffset(out, offset);
}

QString isoTimeText(qint64 instant, int offset) {
    char text[kIsoTimeBytes];
    putIsoTime(text, instant, offset);
    return QString::fromLatin1(text, kIsoTimeBytes);
}

QString isoTimeText(const QDateTime& when) {
    return isoTimeText(when.toSecsSinceEpoch(), when.offsetFromUtc());
}

int zoneOffsetAt(const QTimeZone& zone, qint64 instant) {
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc()));
}

int LocalTimes::offsetAt(qint64 instant) {
    const qint64 hour = floorDiv(instant, kSecondsPerHour) * kSecondsPerHour;
    if (hour == hourStart_) {
        return offset_;
    }
    const int first = localOffsetAt(hour);
    if (localOffsetAt(hour + kSecondsPerHour - 1) != first) {
        hourStart_ = kNoHour;  // the offset changes within this hour
        return localOffsetAt(instant);
    }
    hourStart_ = hour;
    offset_ = first;
    return first;
}

QString localIsoTime(qint64 instant) {
    return isoTimeText(instant, localOffsetAt(instant));
}

}  // namespace lp::platform
