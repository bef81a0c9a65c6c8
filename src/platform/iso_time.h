// The one form in which the program writes an instant: ISO 8601 local time with its
// offset from UTC, "2026-12-08T01:02:03+01:00" (UTC itself "+00:00", never "Z"). The
// event logs, the MQTT messages, `export --offset` and the command line's times all
// write it here.
#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace lp::platform {

inline constexpr qsizetype kUtcOffsetBytes = 6;  // "+01:00"
inline constexpr qsizetype kIsoTimeBytes = 25;   // "2026-12-08T01:02:03+01:00"

// Writes an offset from UTC (seconds east) as "+01:00" at `out`; returns the end.
char* putUtcOffset(char* out, int offset);
// Writes the instant (seconds since the epoch) as the wall clock of `offset` shows it,
// with the offset, kIsoTimeBytes at `out` (years 0 .. 9999); returns the end.
char* putIsoTime(char* out, qint64 instant, int offset);
[[nodiscard]] QString isoTimeText(qint64 instant, int offset);
// A date and time in its own offset (a local time in the offset of local time then).
[[nodiscard]] QString isoTimeText(const QDateTime& when);

// The offset from UTC of a zone at an instant (seconds east).
[[nodiscard]] int zoneOffsetAt(const QTimeZone& zone, qint64 instant);

// The offsets of the system's local time, kept for the hour (of UTC) an instant lies
// in, so that a stream of messages asks the time zone (which may read the zone's file)
// once an hour and not for every message. An hour in which the offset changes (at the
// hour, or within it where a zone changes at the half hour) is asked for each instant.
// One writer holds one; it is not shared between threads.
class LocalTimes {
public:
    [[nodiscard]] int offsetAt(qint64 instant);
    [[nodiscard]] QString isoText(qint64 instant) {
        return isoTimeText(instant, offsetAt(instant));
    }

private:
    static constexpr qint64 kNoHour = 1;  // no hour starts there
    qint64 hourStart_ = kNoHour;
    int offset_ = 0;
};

// An instant in the system's local time with its offset, asking the zone each time:
// for a writer of a few texts (an alarm event's start and end).
[[nodiscard]] QString localIsoTime(qint64 instant);

}  // namespace lp::platform
