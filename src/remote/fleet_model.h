// What a fleet console knows of the loggers that publish under one prefix, built from
// the messages they publish (see messages.h): PREFIX/NAME/status (retained),
// PREFIX/NAME/sample and PREFIX/NAME/event. No widgets; the command line's `watch`
// shows its rows.
//
// Rules. The state is the last status'; an empty retained status (the broker's way of
// deleting it) removes the logger. When the console loses the broker every state is
// "unknown" (the logger may have stopped or come back meanwhile, and its retained
// status may be stale) until a status arrives again, as the retained one does on
// subscribing after the reconnection. The last level is the newest sample by its time: a
// repeat or a late backlog record does not put an older level back. The backlog is
// what the last "online" or "stopped" status said was waiting, less the samples
// received since (unknown without it, while the logger is offline, and while its state is
// unknown). Events today
// are the distinct events (by their start) that started on the local day of `now`, so
// the count starts again at local midnight; an alarm is on from an event's start until
// its end, or until the logger stops cleanly.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

namespace lp::remote {

struct LoggerRow {
    QString name;
    // "online", "offline", "stopped"; "unknown" after the broker was lost; empty before
    // a status arrived.
    QString state;
    // The last sample: its level (none for a text that is no level), level text,
    // weighting and the time it was taken (invalid before any sample, or without one).
    std::optional<double> level;
    QString levelText;
    QString weighting;
    QDateTime levelTime;
    bool hasSample = false;
    std::optional<qint64> backlog;
    int eventsToday = 0;
    bool alarm = false;

    friend bool operator==(const LoggerRow&, const LoggerRow&) = default;
};

class FleetModel {
public:
    // `prefix`: the topic levels before NAME ("lp", "site/north").
    explicit FleetModel(const QString& prefix);

    // What a message did.
    struct Taken {
        QString logger;        // the logger it was about; empty when it was for none
        bool removed = false;  // the logger's retained status was deleted
        QString problem;       // why it was passed over, in words; empty when taken
    };
    // A message received at `now` on PREFIX/NAME/sample, status or event.
    Taken take(const QByteArray& topic, const QByteArray& payload, const QDateTime& now);

    // The broker was lost: every state is unknown until its status arrives again.
    void brokerLost();

    [[nodiscard]] qsizetype size() const { return loggers_.size(); }
    // Every logger, by name, as at `now`; the first `count` of them alone (a screen's
    // worth: their cost does not grow with the fleet).
    [[nodiscard]] std::vector<LoggerRow> rows(const QDateTime& now) const;
    [[nodiscard]] std::vector<LoggerRow> rows(const QDateTime& now, qsizetype count) const;
    [[nodiscard]] std::optional<LoggerRow> row(const QString& name, const QDateTime& now) const;

private:
    struct Logger {
        LoggerRow last;  // all but the backlog, events today and the alarm
        std::optional<qint64> statusBacklog;
        bool stateStale = false;  // the broker was lost since the last status
        qint64 samplesSinceStatus = 0;
        QSet<QString> eventStarts;  // the starts of the events of eventsDay
        QDate eventsDay;
        QSet<QString> openEvents;  // started, not yet ended
    };
    void takeStatus(Logger& logger, const QJsonObject& status);
    void takeSample(Logger& logger, const QJsonObject& sample);
    void takeEvent(Logger& logger, const QJsonObject& event, const QDateTime& now);
    [[nodiscard]] static LoggerRow rowOf(const Logger& logger, const QDateTime& now);

    QByteArray prefix_;  // with its '/'
    QMap<QString, Logger> loggers_;
};

}  // namespace lp::remote
