#include "cli/record_alarms.h"

#include <QFileInfo>

#include "cli/command.h"
#include "cli/kit/numbers.h"
#include "platform/iso_time.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

QString decibels(const std::optional<double>& level) {
    return level ? stats::decibelsText(*level) : QStringLiteral("none");
}

}  // namespace

Outcome<std::unique_ptr<RecordAlarms>> RecordAlarms::read(const Flags& flags, const QString& out,
                                                          int seconds, platform::Clock& clock,
                                                          Talk& talk) {
    QList<live::AlarmLevel> levels;
    for (const QString& text : flags.alarm) {
        const std::optional<live::AlarmLevel> level = live::readAlarmLevel(text);
        if (!level) {
            return usageMistake(QStringLiteral("--alarm takes LEVEL[/SECONDS], a level in dB "
                                               "and whole seconds (like 85 or 85/5), not '%1'")
                                    .arg(text));
        }
        levels << *level;
    }
    for (const auto& [name, given] :
         {std::pair{QStringLiteral("bridge"), flags.bridge.has_value()},
          std::pair{QStringLiteral("events"), flags.events.has_value()}}) {
        if (levels.isEmpty() && given && !(name == QStringLiteral("events") && flags.limits)) {
            return usageMistake(
                QStringLiteral("--%1 needs --alarm").arg(name) +
                (name == QStringLiteral("events") ? QStringLiteral(" or --limit") : QString()));
        }
    }
    if (levels.isEmpty()) {
        return std::unique_ptr<RecordAlarms>();
    }
    qint64 bridge = 0;
    if (flags.bridge) {
        const std::optional<qint64> read = wholeNumberOf(*flags.bridge);
        bridge = read.value_or(0);
        if (!read) {
            return usageMistake(QStringLiteral("--bridge takes whole seconds (0 or more), not '%1'")
                                    .arg(*flags.bridge));
        }
    }
    const std::optional<QString>& events = flags.events;
    if (events) {
        if (QFileInfo(*events).absoluteFilePath() == QFileInfo(out).absoluteFilePath()) {
            return usageMistake(QStringLiteral("--events may not name the record file"));
        }
    }
    return std::make_unique<RecordAlarms>(levels, bridge, seconds, events, clock, talk);
}

RecordAlarms::RecordAlarms(const QList<live::AlarmLevel>& levels, qint64 bridge, int seconds,
                           std::optional<QString> events, platform::Clock& clock, Talk& talk)
    : talk_(talk), alarms_(clock) {
    alarms_.setInterval(seconds);
    alarms_.setLevels(levels, bridge);
    if (events) {
        log_.emplace(*events);
    }
    connect(&alarms_, &live::Alarms::eventOccurred, this, &RecordAlarms::tell);
}

void RecordAlarms::tell(const live::AlarmEvent& event) {
    const QString alarm = QStringLiteral("alarm %1: ").arg(decibels(event.above));
    if (const std::optional<stats::LevelEvent>& e = event.ended) {
        talk_.error(alarm +
                    QStringLiteral("event ended, %1 to %2: %3 s, Lmax %4, Leq %5, SEL %6")
                        .arg(platform::localIsoTime(e->start), platform::localIsoTime(e->end))
                        .arg(e->duration)
                        .arg(decibels(e->lmax), decibels(e->leq), decibels(e->sel)));
    } else {
        talk_.error(alarm +
                    QStringLiteral("event started at %1").arg(platform::localIsoTime(event.start)));
    }
    if (log_) {
        if (const std::optional<QString> error = log_->write(event)) {
            talk_.error(*error);
        }
    }
}

}  // namespace lp::cli
