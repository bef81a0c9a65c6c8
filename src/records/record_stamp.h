// The time stamp of a record, "YYYY/MM/DD hh:nn:ss": the local wall-clock time of its
// recording, read fast enough for a week of 1 s records, and turned into a real instant
// (seconds since the epoch) by one rule that every reader of stamps follows.
//
// On the day clocks go forward, a stamp in the skipped hour (none should occur) is
// taken with the offset before the change. On the day they go back, the hour before the
// change is shown twice; a stamp of it is taken as its first pass unless the record
// before it in the same run of records already lies at or after that instant: a step
// back in the record order marks the second pass. So a file recorded straight through
// the change keeps its order. A day with more than one offset change is taken with its
// first change only.
#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QTimeZone>
#include <map>
#include <optional>

namespace lp::records {

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

// Writes a stamp of a valid date and time as ISO 8601 local time, "2009/06/01 14:05:09"
// as "2009-06-01T14:05:09" (kStampBytes at `out`, the shape checked fast, for every
// record of an export); null, and nothing written, for any other text.
char* putIsoStamp(char* out, QByteArrayView stamp);

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

// A day of a zone looked up: its midnights and its first offset change.
[[nodiscard]] LocalDay lookUpDay(const QTimeZone& zone, qint64 julianDay);

// A stamp in real time: its instant and the offset from UTC of the wall clock then
// (seconds east of UTC), as a stamp with its offset writes it.
struct StampTime {
    qint64 instant = 0;
    int offset = 0;
};

// Reads the stamps of one run of records (a file, or a list), fed in record order.
// Consecutive stamps mostly share their minute: the day and the minute are read only
// when they differ from the stamp before, the seconds every time; each day is looked
// up in the zone once.
class StampReader {
public:
    explicit StampReader(QTimeZone zone = QTimeZone::systemTimeZone());
    StampReader(const StampReader&) = delete;  // it points into its own days
    StampReader& operator=(const StampReader&) = delete;

    // The next record's stamp in real time; none when the text is no stamp (the record
    // then takes no part in the order).
    [[nodiscard]] std::optional<StampTime> next(QByteArrayView stamp);
    // Another run of records begins: the next stamp has none before it.
    void restart() { hasPrevious_ = false; }

private:
    static constexpr qsizetype kDateBytes = 10;  // "YYYY/MM/DD"
    QTimeZone zone_;
    char lastMinute_[kStampMinuteBytes] = {};
    std::map<qint64, LocalDay> days_;  // each day looked up once
    const LocalDay* day_ = nullptr;
    std::optional<int> minute_;
    // The instant of the record before, apart from its flag: kept as an optional it is
    // written in two parts and read whole, which stalls the processor on every record.
    qint64 previous_ = 0;
    bool hasPrevious_ = false;
};

}  // namespace lp::records
