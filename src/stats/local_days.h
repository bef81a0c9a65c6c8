// Local calendar days of one time zone and the time stamps of record files, read
// fast enough for a week of 1 s records.
//
// A record's time stamp "YYYY/MM/DD hh:nn:ss" is the local wall-clock time of its
// recording. Figures work on real instants (seconds since the epoch), so a day that
// the change to or from summer time makes 23 or 25 hours long really is that long.
// Each day is looked up in the zone once (its midnight, the next midnight, and the
// one offset change within it, if any) and kept; every stamp of that day is then
// turned into an instant by adding seconds.
//
// On the day clocks go forward, a stamp in the skipped hour (none should occur) is
// taken with the offset before the change. On the day they go back, a stamp of the
// repeated hour is taken as its first occurrence, unless the record before it in the
// same file already lies at or after that instant: then it is the second occurrence.
// So a file recorded straight through the change keeps its order. A day with more
// than one offset change is taken with its first change only.
#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QTimeZone>
#include <map>
#include <optional>

namespace lp::stats {

inline constexpr qint64 kSecondsPerDay = 86400;

// A stamp read by hand: its calendar day (as a Julian day number) and the second of
// that day, 0 .. 86399.
struct LocalStamp {
    qint64 julianDay = 0;
    int secondOfDay = 0;
};

// The pieces of a stamp, so that a reader of many stamps can keep what the one before
// shared with it; each is none when its bytes are not what a stamp holds there:
// the calendar day of "YYYY/MM/DD" (bytes 0 to 9),
[[nodiscard]] std::optional<qint64> stampDay(QByteArrayView stamp);
// the second of the day at which the minute " hh:nn" (bytes 10 to 15) begins,
[[nodiscard]] std::optional<int> stampMinute(QByteArrayView stamp);
inline constexpr qsizetype kStampBytes = 19;
inline constexpr qsizetype kStampMinuteBytes = 16;  // "YYYY/MM/DD hh:nn"
// and the seconds ":ss" (bytes 16 to 18) of a stamp that is exactly 19 bytes long
// (read for every record, so written out here).
[[nodiscard]] inline std::optional<int> stampSeconds(QByteArrayView stamp) {
    if (stamp.size() != kStampBytes || stamp[16] != ':') {
        return std::nullopt;
    }
    const unsigned tens = static_cast<unsigned char>(stamp[17]) - unsigned('0');
    const unsigned ones = static_cast<unsigned char>(stamp[18]) - unsigned('0');
    if (tens > 5 || ones > 9) {
        return std::nullopt;
    }
    return static_cast<int>(tens * 10 + ones);
}

// A whole stamp; none when the text is not such a stamp.
[[nodiscard]] std::optional<LocalStamp> readStamp(QByteArrayView stamp);

// One local day in real time.
struct LocalDay {
    qint64 julianDay = 0;
    qint64 start = 0;  // instant of its midnight
    qint64 end = 0;    // instant of the next day's midnight
    // The offset change within the day: its instant and how far the clocks moved
    // (seconds, > 0 forward, < 0 back); shift 0 when there is none.
    qint64 changeAt = 0;
    int shift = 0;

    [[nodiscard]] QDate date() const { return QDate::fromJulianDay(julianDay); }
    [[nodiscard]] qint64 length() const { return end - start; }
    // The instant of a wall-clock second of this day; `previous` is the instant of the
    // record read just before (see the rule for the repeated hour above).
    [[nodiscard]] qint64 instantOf(int secondOfDay, std::optional<qint64> previous = {}) const;
    // Every instant at which the wall clock shows this second of the day, in time order:
    // none in the hour skipped when clocks go forward, two in the hour repeated when
    // they go back. Returns how many it put into `instants`.
    int instantsOf(int secondOfDay, qint64 (&instants)[2]) const;
};

// The days of one zone, each looked up once. The cache fills as days are asked for,
// so even a const LocalDays may look up a new day; it is not shared between threads.
class LocalDays {
public:
    explicit LocalDays(QTimeZone zone = QTimeZone::systemTimeZone());

    [[nodiscard]] const QTimeZone& zone() const { return zone_; }
    [[nodiscard]] const LocalDay& day(qint64 julianDay) const;
    // The local day an instant lies in.
    [[nodiscard]] const LocalDay& dayOf(qint64 instant) const;
    // The wall clock at an instant, as QDateTime shows it in the zone: on a day of 24
    // hours without a change, worked out from the day's midnight; on any other, asked
    // of the zone.
    [[nodiscard]] LocalStamp wallClockAt(qint64 instant) const;
    // The instant of hour `hour` (0 .. 24; 24 is the next midnight) of a day.
    [[nodiscard]] qint64 instantOfHour(qint64 julianDay, int hour) const;

private:
    [[nodiscard]] LocalDay lookUp(qint64 julianDay) const;

    QTimeZone zone_;
    mutable std::map<qint64, LocalDay> days_;
    // The day of 24 hours without a change that wallClockAt found last; a copy, so that
    // a copy of LocalDays holds nothing of the original's.
    mutable LocalDay recentPlainDay_;
};

}  // namespace lp::stats
