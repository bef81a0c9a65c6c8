// Following runs of loud levels one level at a time.
#include "stats/level_events.h"

#include <algorithm>

namespace lp::stats {

EventDetector::EventDetector(const EventRule& rule, qint64 interval)
    : rule_(rule), interval_(interval) {}

std::optional<LevelEvent> EventDetector::close() {
    std::optional<LevelEvent> event;
    if (started_) {
        LevelEvent e;
        e.start = start_;
        e.end = lastAbove_ + interval_;
        e.duration = e.end - e.start;
        e.records = energy_.records();
        e.outOfRange = energy_.outOfRange();
        e.lmax = lmax_;
        e.leq = energy_.leq();
        if (e.leq && e.duration > 0) {
            e.sel = *e.leq + levelOf(static_cast<double>(e.duration));
        }
        event = e;
    }
    open_ = false;
    started_ = false;
    energy_ = {};
    dip_ = {};
    return event;
}

// A level in a run, or a loud one that starts one.
EventDetector::Step EventDetector::addToRun(const LevelSample& sample) {
    Step step;
    const bool gap = hasPrevious_ && sample.time - previous_ > interval_;
    previous_ = sample.time;
    hasPrevious_ = true;
    if (open_ && gap) {
        step.ended = close();
    }
    if (sample.level < rule_.threshold) {
        if (open_) {
            dip_.add(sample);
            // The dip lasts from the last loud level to this one's end, less S.
            if (sample.time - lastAbove_ >= rule_.bridge) {
                step.ended = close();
            }
        }
        return step;
    }
    if (!open_) {
        open_ = true;
        start_ = sample.time;
        lmax_.reset();
    }
    energy_.add(dip_);
    dip_ = {};
    energy_.add(sample);
    if (sample.inRange()) {
        lmax_ = std::max(lmax_.value_or(sample.level), sample.level);
    }
    lastAbove_ = sample.time;
    if (!started_ && lastAbove_ + interval_ - start_ >= rule_.minDuration) {
        started_ = true;
        step.startedAt = start_;
    }
    return step;
}

std::optional<LevelEvent> EventDetector::finish() {
    return open_ ? close() : std::nullopt;
}

platform::LargeVector<LevelEvent> findEvents(std::span<const LevelSample> samples,
                                             const EventRule& rule, qint64 interval) {
    // Two events hold at least one sample between them, so there are at most half as
    // many as samples, plus one; of this room only the pages the events fill are used.
    platform::LargeVector<LevelEvent> events;
    events.reserve(samples.size() / 2 + 1);
    EventDetector detector(rule, interval);
    for (const LevelSample& sample : samples) {
        if (std::optional<LevelEvent> ended = detector.add(sample).ended) {
            events.push_back(*ended);
        }
    }
    if (std::optional<LevelEvent> last = detector.finish()) {
        events.push_back(*last);
    }
    return events;
}

}  // namespace lp::stats
