// What `watch` prints of the fleet: one JSON line per logger, or the lines of the
// table it keeps redrawn on a terminal. The two are WatchOutput's: JsonLines here,
// ScreenTable in watch_screen.h.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QEventLoop>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTimeZone>
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

// The time now in the local time zone, by Qt's copy of the zone's rules: the C
// library's local time reads /etc/localtime's status again at every call, and with
// thousands of loggers a message comes every moment.
class WatchClock {
public:
    [[nodiscard]] QDateTime now() const {
        return zone_.isValid() ? QDateTime::currentDateTimeUtc().toTimeZone(zone_)
                               : QDateTime::currentDateTime();
    }

private:
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};

// What the console shows of the fleet as it hears from the broker. It is told what
// happened (the fleet model has taken it already) and reads the fleet itself.
class WatchOutput {
public:
    virtual ~WatchOutput() = default;

    // Before the first connection, and after the last.
    virtual void begin() {}
    virtual void end() {}
    // The connection to the broker now: "connected" or "broker away".
    virtual void connection(const QString& state) = 0;
    // The broker was lost: what every logger does is unknown until it sends again.
    virtual void brokerLost(const QDateTime& now) = 0;
    // A logger's message was taken; `removed` when its retained status was deleted.
    virtual void loggerChanged(const QString& name, bool removed, const QDateTime& now) = 0;
    // Once a second.
    virtual void tick(const QDateTime& now) = 0;
    // A message line for the user, on the error stream.
    virtual void say(const QString& text) = 0;
};

// The fleet as JSON lines on `out`: a logger's line each time what it shows changes.
// When `out`'s reader has gone, nobody is watching any more: `loop` ends (status 0).
class JsonLines final : public WatchOutput {
public:
    JsonLines(const remote::FleetModel& fleet, QTextStream& out, QTextStream& err, QEventLoop& loop)
        : fleet_(fleet), out_(out), err_(err), loop_(loop) {}

    void connection(const QString&) override {}
    // Every logger whose line changed.
    void brokerLost(const QDateTime& now) override { all(now); }
    void loggerChanged(const QString& name, bool removed, const QDateTime& now) override;
    // What changes with the clock alone: the events of the day, at local midnight.
    void tick(const QDateTime& now) override;
    void say(const QString& text) override;

private:
    void all(const QDateTime& now);
    void print(const remote::LoggerRow& row);
    void write(const QByteArray& line);

    const remote::FleetModel& fleet_;
    QTextStream& out_;
    QTextStream& err_;
    QEventLoop& loop_;
    QHash<QString, QByteArray> printed_;
    QDate day_ = QDate::currentDate();
};

}  // namespace lp::cli
