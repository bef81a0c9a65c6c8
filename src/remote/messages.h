// The JSON of the messages a logger publishes: one per record under PREFIX/NAME/sample,
// its state, retained, under PREFIX/NAME/status, and its alarms' events under
// PREFIX/NAME/event.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

#include "link/reading.h"
#include "live/alarms.h"
#include "live/limit_watch.h"

namespace lp::remote {

// The leaves of a logger's topics, PREFIX/NAME/LEAF: its samples, its state (retained),
// its alarms' and limits' events, its period figures (PREFIX/NAME/period/LENGTH) and
// the lines of its run metadata.
enum class Topic { Sample, Status, Event, Period, Meta };
// "sample", "status", "event", "period", "meta".
[[nodiscard]] QByteArray topicText(Topic topic);
// The leaf `topic` under `logger` ("PREFIX/NAME", or "PREFIX/+" to subscribe to all).
[[nodiscard]] QByteArray topicUnder(const QByteArray& logger, Topic topic);
// PREFIX/NAME/period/15min: the figures of the periods of `seconds` (the length as
// labels write it, stats::intervalLabel).
[[nodiscard]] QByteArray periodTopic(const QByteArray& logger, qint64 seconds);
// The leaf a text names; none for any other text.
[[nodiscard]] std::optional<Topic> topicOf(QByteArrayView leaf);

// A logger's state as its status says it.
enum class LoggerState { Online, Stopped, Offline };
// "online", "stopped", "offline" (the last will).
[[nodiscard]] QString stateText(LoggerState state);

// A record as the recorder wrote it, or as it is read back from its file.
struct WrittenRecord {
    QString filePath;
    qint64 line = 0;  // 1-based, header lines counted
    QString no;
    QString dateTime;  // "YYYY/MM/DD hh:nn:ss", local time
    QString level;     // the level text as recorded
    // What the meter showed with it; none for a record read back from its file, which
    // holds only the three fields above.
    std::optional<link::Reading> reading;
    // The offset from UTC of local time at dateTime (seconds east): the clock's for a
    // record just taken, by records::StampReader's rule for one read back from its file;
    // none when dateTime is no date and time.
    std::optional<int> utcOffset = std::nullopt;
    // The logger's limits after the sample (--limit); none for a record read back from
    // its file after an outage or a restart: its message then has no "limits".
    std::vector<live::LimitStatus> limits = {};
};

// {"file", "line", "no", "time", "level", "text", "weighting", "response", "range",
//  "flags"}: "file" is the file's name without its folder; "no" the record number as a
// number; "time" ISO 8601 with its utcOffset, null without one; "level" the number of a text that
// carries a plain level, else null; "text" the level text as recorded; "weighting" "A" or "C",
// "response" "FAST" or "SLOW", "range" "30-80", "flags" the lit marks among REC FULL MAX BAT UNDER
// OVER (the names `levelpanel-cli live` prints), all four null without a reading. With
// limits, "limits": [{"rule", "so_far", "allowed", "state"}], one per rule in their
// order: "rule" as given, "so_far" the period's figure so far or the rolling LAeq and
// "allowed" the level still allowed (rounded to 0.1 dB, null where there is none),
// "state" "alarm", "warning", "ok", or "off" outside the rule's hours.
[[nodiscard]] QByteArray sampleMessage(const WrittenRecord& record);

struct LoggerStatus {
    LoggerState state = LoggerState::Online;
    QString port;
    QString file;  // the record file written now, without its folder
    int everySeconds = 0;
    QString version;
    // The records written and not yet acknowledged by the broker, when the logger knows
    // them: online and stopped, never in the last will (which the broker keeps
    // from the time of connecting).
    std::optional<qint64> backlog = std::nullopt;
    // The machine and the process the logger runs as: two loggers publishing under one
    // name tell each other apart by them (empty and 0: not known, null in the message).
    QString host = {};
    qint64 pid = 0;
};

// {"state", "port", "file", "every_s", "version", "host", "pid"}, and "backlog" when it
// is known.
[[nodiscard]] QByteArray statusMessage(const LoggerStatus& status);

// Who sent a status message, when it says so (a logger of an older version does not):
// its state, host and process id.
struct StatusSender {
    QString state;
    QString host;
    qint64 pid = 0;
};
[[nodiscard]] std::optional<StatusSender> statusSender(const QByteArray& payload);

// {"state": "start" or "end", "start", "end", "duration_s", "lmax", "leq", "sel",
//  "above"}: times ISO 8601 with the UTC offset, duration in whole seconds, levels in
// dB rounded to 0.1 ("above" the alarm's level as set); what a started event does not
// know yet, and a SEL of none, null.
[[nodiscard]] QByteArray eventMessage(const live::AlarmEvent& event);

// A limit's event with the keys of an alarm's: "state" "start", "repeat" or "end";
// "start" when its level began, "end" and "duration_s" once it ended, "lmax", "leq" and
// "sel" null, "above" the limit reached; and "rule" (as given), "figure" (its label,
// "LAeq,15min"), "value" (the figure when told), "limit", "level" ("warning" or
// "alarm").
[[nodiscard]] QByteArray limitEventMessage(const live::LimitEvent& event);

}  // namespace lp::remote
