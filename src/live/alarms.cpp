#include "live/alarms.h"

#include <algorithm>
#include <cmath>

#include "live/meter_view.h"
#include "stats/level_tally.h"

namespace lp::live {
namespace {

constexpr qint64 kScheduleSlackMs = 500;

}  // namespace

struct Alarms::Watch {
    AlarmLevel level;
    stats::EventDetector detector;
};

std::optional<AlarmLevel> readAlarmLevel(QStringView text) {
    const qsizetype slash = text.indexOf(u'/');
    const QStringView levelPart = slash < 0 ? text : text.left(slash);
    bool ok = false;
    AlarmLevel alarm;
    alarm.level = levelPart.toDouble(&ok);
    if (!ok || !std::isfinite(alarm.level) || alarm.level < 0.0 || alarm.level >= 200.0) {
        return std::nullopt;
    }
    if (slash >= 0) {
        alarm.seconds = text.mid(slash + 1).toInt(&ok);
        if (!ok || alarm.seconds < 0 || alarm.seconds > 86400) {
            return std::nullopt;
        }
    }
    return alarm;
}

Alarms::Alarms(platform::Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    gapTimer_ = clock_.createTimer(1000, true, [this] { finish(); });
}

Alarms::~Alarms() = default;

void Alarms::rebuild() {
    watches_.clear();
    for (const AlarmLevel& level : view_.levels) {
        const stats::EventRule rule{level.level, level.seconds, bridge_};
        watches_.push_back(Watch{level, stats::EventDetector(rule, interval_)});
    }
    previousMs_.reset();
}

void Alarms::setLevels(const QList<AlarmLevel>& levels, qint64 bridge) {
    finish();
    view_.levels = levels;
    bridge_ = bridge;
    rebuild();
    emit viewChanged(view_);
}

void Alarms::setInterval(int seconds) {
    if (seconds == interval_) {
        return;
    }
    finish();
    interval_ = seconds;
    rebuild();
}

void Alarms::take(const Sample& sample) {
    // A reading over the measuring range ("L", 145 dB up) is louder than any alarm level
    // up to 145 dB, one under it ("-") quieter than any above 25 dB; the face's text
    // before any frame, and a text that is no reading at all, change nothing.
    const std::optional<stats::LevelSample> read =
        sample.levelText == kNoLevelText
            ? std::nullopt
            : stats::sampleOf(0, stats::readLevel(QStringView(sample.levelText)));
    if (watches_.empty() || !read) {
        return;
    }
    const qint64 ms = sample.when.toMSecsSinceEpoch();
    qint64 instant = sample.when.toSecsSinceEpoch();
    if (previousMs_) {
        const bool onSchedule = ms - *previousMs_ <= interval_ * 1000 + kScheduleSlackMs;
        instant = onSchedule ? previousInstant_ + interval_
                             : std::max(instant, previousInstant_ + interval_ + 1);
    }
    previousMs_ = ms;
    previousInstant_ = instant;
    stats::LevelSample level = *read;
    level.time = instant;
    for (Watch& watch : watches_) {
        const stats::EventDetector::Step step = watch.detector.add(level);
        if (step.ended) {
            report(AlarmEvent{watch.level.level, step.ended->start, step.ended});
        }
        if (step.startedAt) {
            report(AlarmEvent{watch.level.level, *step.startedAt, std::nullopt});
        }
    }
    gapTimer_->setInterval(static_cast<int>(interval_ * 1000 + kScheduleSlackMs));
    gapTimer_->start();
}

void Alarms::finish() {
    gapTimer_->stop();
    for (Watch& watch : watches_) {
        if (const std::optional<stats::LevelEvent> ended = watch.detector.finish()) {
            report(AlarmEvent{watch.level.level, ended->start, ended});
        }
    }
}

void Alarms::report(const AlarmEvent& event) {
    QList<AlarmEvent>& events = view_.events;
    auto listed = events.end();
    if (event.ended) {
        for (auto it = events.begin(); it != events.end(); ++it) {
            if (!it->ended && it->above == event.above && it->start == event.start) {
                listed = it;
            }
        }
    }
    if (listed != events.end()) {
        *listed = event;
    } else {
        events.append(event);
        if (events.size() > kKeptEvents) {
            events.removeFirst();
        }
    }
    view_.on = std::any_of(watches_.cbegin(), watches_.cend(),
                           [](const Watch& w) { return w.detector.inEvent(); });
    emit eventOccurred(event);
    emit viewChanged(view_);
}

void feedAlarms(LiveCycle& cycle, Alarms& alarms) {
    alarms.setInterval(cycle.samplingSeconds());
    QObject::connect(&cycle, &LiveCycle::viewChanged, &alarms,
                     [&alarms](const LiveView& view) { alarms.setInterval(view.samplingSeconds); });
    QObject::connect(&cycle, &LiveCycle::sampleTaken, &alarms, &Alarms::take);
}

}  // namespace lp::live
