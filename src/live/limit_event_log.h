// The CSV log of the limits' events, beside the alarms' (live::EventLog): one file per
// local day, named from FILE with "-limits" before the day (events.csv gives
// events-limits-2026-12-06.csv), so that the alarms' files keep their columns. Each
// telling (start, repeat, end) is a line, on disk before write() returns, in the file
// of the day of its instant, appended as the alarms' are (live::appendLogLine). Fields
// as the CSV export writes them: times ISO 8601 with the UTC offset, levels with one
// decimal.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

#include "live/limit_watch.h"

namespace lp::live {

inline constexpr QByteArrayView kLimitLogHeader(
    "time,state,level,rule,figure,value,limit,since\r\n");

class LimitEventLog {
public:
    explicit LimitEventLog(QString file);  // FILE, as --events names it

    // The file of the day of `instant`.
    [[nodiscard]] QString fileOf(qint64 instant) const;
    // Appends the event's line; the reason, naming the file, when it could not be
    // written whole.
    [[nodiscard]] std::optional<QString> write(const LimitEvent& event);

private:
    QString file_;
};

}  // namespace lp::live
