// The CSV log of alarm events: one file per local day, named from FILE as the logger
// names its daily record files (FILE's stem + -YYYY-MM-DD + suffix, by
// RotatingRecording::fileName), each event on the file of the day it started. A file
// begins with the header line; each event's line is appended once it has ended and is
// on disk before write() returns. Fields are written as the CSV export writes them
// (records::appendCsvField): times ISO 8601 with the UTC offset, levels with one
// decimal, SEL empty where there is none. A file whose last line was cut short (the
// power lost mid-write) gets a line end first, so the new line stands on its own.
#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <optional>

#include "live/alarms.h"

namespace lp::live {

inline constexpr QByteArrayView kEventLogHeader("start,end,duration_s,lmax,leq,sel,above\r\n");

class EventLog {
public:
    explicit EventLog(QString file);  // FILE, as --events names it

    // Appends the line of an ended event (an event only started is not logged); the
    // reason, naming the file, when it could not be written whole.
    [[nodiscard]] std::optional<QString> write(const AlarmEvent& event);

private:
    QString file_;
};

// Appends `line` to the log `path` as write() does: the header first in a new file, a
// line end first after a line cut short, whole lines only; the reason, naming the
// file, when it could not be written whole.
[[nodiscard]] std::optional<QString> appendLogLine(const QString& path, QByteArrayView header,
                                                   const QByteArray& line);

}  // namespace lp::live
