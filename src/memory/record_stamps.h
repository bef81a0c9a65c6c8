// Time stamps of the records of a downloaded set: the first record carries the set's
// start, each further record the previous stamp plus the sampling interval, carried
// through days, months and years. A start that is no date (an erased memory) gives
// stamps that say plainly that the time is unknown.
#pragma once

#include <QByteArray>
#include <QString>

namespace lp::memory {

// The stamp shown for every record of a set whose start is not a date.
inline constexpr char kUnknownStamp[] = "----/--/-- --:--:--";

class RecordStamps {
public:
    // `start` holds the six BCD bytes yy mm dd hh nn ss (years 20yy).
    RecordStamps(const QByteArray& start, quint16 intervalSec);

    // Whether the six bytes form a date and time.
    [[nodiscard]] bool known() const { return known_; }

    // Stamp of record k (1-based): "yyyy/mm/dd hh:nn:ss", or kUnknownStamp.
    [[nodiscard]] QString stamp(qint64 k);

private:
    bool known_ = false;
    qint64 startDay_ = 0;     // Julian day of the start
    qint64 startSecond_ = 0;  // seconds since midnight of the start
    qint64 interval_ = 0;
    // The date part is the same for many records in a row; it is built once per day.
    qint64 cachedDay_ = -1;
    QString cachedDate_;
};

}  // namespace lp::memory
