// The limits of `record`: --limit (repeatable), --hysteresis and --repeat set up a
// live::LimitWatch fed the cycle's samples; each telling of a rule's warning or alarm
// (its start, again every --repeat seconds while it lasts, its end) is one line on
// stderr with the rule's status (live::limitStatusText), and with --events FILE a line
// of FILE's limits log of its day (live::LimitEventLog). The events and the statuses,
// for the broker, come from watch().
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

#include "cli/kit/outcome.h"
#include "cli/kit/talk.h"
#include "live/limit_event_log.h"
#include "live/limit_watch.h"

namespace lp::cli {

class RecordLimits : public QObject {
    Q_OBJECT
public:
    // The options as typed.
    struct Flags {
        QStringList limit;
        std::optional<QString> hysteresis;
        std::optional<QString> repeat;
    };
    // The limits of `flags` for samples every `seconds`, none without --limit; a mistake
    // names the option and what it takes. `events` is --events (already checked).
    [[nodiscard]] static Outcome<std::unique_ptr<RecordLimits>> read(
        const Flags& flags, const std::optional<QString>& events, int seconds, Talk& talk);

    RecordLimits(live::LiveLimitOptions options, int seconds, const std::optional<QString>& events,
                 Talk& talk);

    [[nodiscard]] live::LimitWatch& watch() { return watch_; }

private:
    void tell(const live::LimitEvent& event);

    Talk& talk_;
    live::LimitWatch watch_;
    std::optional<live::LimitEventLog> log_;
};

}  // namespace lp::cli
