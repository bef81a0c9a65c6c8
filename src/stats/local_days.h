// Local calendar days of one time zone, for figures that work on real instants
// (seconds since the epoch), so that a day that the change to or from summer time
// makes 23 or 25 hours long really is that long. Each day is looked up in the zone
// once (its midnight, the next midnight, and the one offset change within it, if any)
// and kept. Record stamps are read into instants by records::StampReader, by the rule
// for the repeated hour that it states.
#pragma once

#include <QDate>
#include <QTimeZone>
#include <map>
#include <optional>

#include "records/record_stamp.h"

namespace lp::stats {

// The day in real time is the record files' own (records/record_stamp.h), and so are
// the stamp readers: a stamp is read only there.
using records::kSecondsPerDay;
using records::LocalDay;
using records::LocalStamp;

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
