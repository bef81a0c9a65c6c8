// The alarms of `record`: --alarm LEVEL[/SECONDS] (repeatable) and --bridge S set up a
// live::Alarms, fed the cycle's samples as the windows feed theirs (live::feedAlarms);
// each event's start and end is one line on stderr, and with --events FILE each ended
// event is a line of FILE's log of its day (live::EventLog: FILE's stem + -YYYY-MM-DD
// + suffix, as --rotate daily names the record files). The events themselves, for
// whoever else wants them (the broker), come from alarms().
#pragma once

#include <QObject>
#include <QTextStream>
#include <memory>
#include <optional>
#include <variant>

#include <QStringList>

#include "cli/kit/outcome.h"
#include "cli/kit/talk.h"
#include "live/alarms.h"
#include "live/event_log.h"

namespace lp::cli {

class RecordAlarms : public QObject {
    Q_OBJECT
public:
    // The options as typed: --alarm (repeatable), --bridge, --events.
    struct Flags {
        QStringList alarm;
        std::optional<QString> bridge;
        std::optional<QString> events;
        bool limits = false;  // --limit given: --events logs their events too
    };
    // The alarms of `flags` for samples every `seconds`, none without --alarm; a
    // mistake names the option and what it takes. `out` is the record file (--events
    // may not name it).
    [[nodiscard]] static Outcome<std::unique_ptr<RecordAlarms>> read(
        const Flags& flags, const QString& out, int seconds, platform::Clock& clock, Talk& talk);

    RecordAlarms(const QList<live::AlarmLevel>& levels, qint64 bridge, int seconds,
                 std::optional<QString> events, platform::Clock& clock, Talk& talk);

    [[nodiscard]] live::Alarms& alarms() { return alarms_; }
    // The run ends: the events going on end with what they have.
    void finish() { alarms_.finish(); }

private:
    void tell(const live::AlarmEvent& event);

    Talk& talk_;
    live::Alarms alarms_;
    std::optional<live::EventLog> log_;
};

}  // namespace lp::cli
