// What `watch` prints of the fleet: one JSON line per logger, or the lines of the
// table it keeps redrawn on a terminal.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "remote/fleet_model.h"

namespace lp::cli {

// {"name", "state", "level", "text", "weighting", "time", "backlog", "events_today",
//  "alarm"}: the state null before the logger's status arrived; the last sample's level
// (rounded to 0.1 dB, null for a text that is no level), its text and weighting, and
// its time (ISO 8601 with the UTC offset, local time), all null before any sample; the
// backlog null when unknown. One line, no line end.
[[nodiscard]] QByteArray rowJson(const remote::LoggerRow& row);
// {"name", "removed": true}: the logger's retained status was deleted.
[[nodiscard]] QByteArray removedJson(const QString& name);

// "12 s", "4 min 05 s", "3 h 20 min", "2 d 5 h".
[[nodiscard]] QString ageText(qint64 seconds);

// How many loggers' rows a terminal of `height` lines has room for: the title, the
// header and a line free for the cursor take three.
[[nodiscard]] qsizetype screenRoom(int height);
// The table as it fits a terminal of `width` columns and `height` lines: the title, a
// header, a line per logger (the age of its level counted to `now`), and how many more
// there are when the `total` do not all fit. `rows` are the first of them by name, at
// least screenRoom(height) when there are as many: only those can be shown.
[[nodiscard]] QStringList screenLines(const QString& title,
                                      const std::vector<remote::LoggerRow>& rows, qsizetype total,
                                      const QDateTime& now, int width, int height);

}  // namespace lp::cli
