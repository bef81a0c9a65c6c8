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

std::variant<std::unique_ptr<RecordAlarms>, UsageMistake> RecordAlarms::read(const Arguments& args,
                                                                             const QString& out,
                                                                             int seconds,
                                                                             platform::Clock& clock,
                                                                             QTextStream& err) {
    const QString bridgeName = QStringLiteral("bridge");
    const QString eventsName = QStringLiteral("events");
    QList<live::AlarmLevel> levels;
    for (const QString& text : args.values.value(QStringLiteral("alarm"))) {
        const std::optional<live::AlarmLevel> level = live::readAlarmLevel(text);
        if (!level) {
            return UsageMistake{QStringLiteral("--alarm takes LEVEL[/SECONDS], a level in dB and "
                                               "whole seconds (like 85 or 85/5), not '%1'")
                                    .arg(text)};
        }
        levels << *level;
    }
    for (const QString& name : {bridgeName, eventsName}) {
        if (levels.isEmpty() && args.has(name)) {
            return UsageMistake{QStringLiteral("--%1 needs --alarm").arg(name)};
        }
    }
    if (levels.isEmpty()) {
        return std::unique_ptr<RecordAlarms>();
    }
    qint64 bridge = 0;
    if (args.has(bridgeName)) {
        const std::optional<qint64> read = wholeNumberOf(args.value(bridgeName));
        bridge = read.value_or(0);
        if (!read) {
            return UsageMistake{QStringLiteral("--bridge takes whole seconds (0 or more), not '%1'")
                                    .arg(args.value(bridgeName))};
        }
    }
    std::optional<QString> events;
    if (args.has(eventsName)) {
        events = args.value(eventsName);
        if (QFileInfo(*events).absoluteFilePath() == QFileInfo(out).absoluteFilePath()) {
            return UsageMistake{QStringLiteral("--events may not name the record file")};
        }
    }
    return std::make_unique<RecordAlarms>(levels, bridge, seconds, events, clock, err);
}

RecordAlarms::RecordAlarms(const QList<live::AlarmLevel>& levels, qint64 bridge, int seconds,
                           std::optional<QString> events, platform::Clock& clock, QTextStream& err)
    : err_(err), alarms_(clock) {
    alarms_.setInterval(seconds);
    alarms_.setLevels(levels, bridge);
    if (events) {
        log_.emplace(*events);
    }
    connect(&alarms_, &live::Alarms::eventOccurred, this, &RecordAlarms::tell);
}

void RecordAlarms::tell(const live::AlarmEvent& event) {
    const QString alarm = QStringLiteral("%1: alarm %2: ").arg(kProgramName, decibels(event.above));
    if (const std::optional<stats::LevelEvent>& e = event.ended) {
        err_ << alarm
             << QStringLiteral("event ended, %1 to %2: %3 s, Lmax %4, Leq %5, SEL %6\n")
                    .arg(platform::localIsoTime(e->start), platform::localIsoTime(e->end))
                    .arg(e->duration)
                    .arg(decibels(e->lmax), decibels(e->leq), decibels(e->sel));
    } else {
        err_ << alarm
             << QStringLiteral("event started at %1\n").arg(platform::localIsoTime(event.start));
    }
    if (log_) {
        if (const std::optional<QString> error = log_->write(event)) {
            err_ << kProgramName << ": " << *error << "\n";
        }
    }
    err_.flush();
}

}  // namespace lp::cli
