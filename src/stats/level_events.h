// Loud events: runs of consecutive levels at or above a threshold.
//
// A reading out of range stands at its class's level: "L" (145 dB) is at or above any
// threshold up to 145 dB, "-" (25 dB) below any above 25 dB. It belongs to the event
// like any level but stays out of its Lmax, Leq and SEL.
//
// A run ends at the first level below the threshold, or where the time from one level
// to the next is longer than the sampling interval S (records missing, or left out).
// A dip below the threshold shorter than the bridge (from the last level at or above
// the threshold to the next one, less S) does not end the run: the two runs and the
// dip between them make one event. An event lasts from its first level to its last
// plus S; one shorter than the minimum duration is no event.
//
// The detector takes one level at a time, as a live run delivers them, and tells when
// an event has started (once it has lasted the minimum duration) and when it ended
// (once no later level can join it). The survey's event list comes from the same
// detector fed the whole survey.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "platform/large_array.h"
#include "stats/level_sample.h"

namespace lp::stats {

struct EventRule {
    double threshold = 0.0;  // dB; a level at or above it belongs to a run
    qint64 minDuration = 0;  // seconds
    qint64 bridge = 0;       // seconds; 0 joins nothing
};

struct LevelEvent {
    qint64 start = 0;     // instant of its first level
    qint64 end = 0;       // instant of its last level plus S
    qint64 duration = 0;  // end - start, in seconds
    qint64 records = 0;   // levels in it, those of bridged dips and out of range included
    // Of the levels inside the measuring range; none when it holds only readings out of
    // range.
    std::optional<double> lmax;
    std::optional<double> leq;
    // Leq + 10·lg(duration in s); none for an event of no duration (S not known).
    std::optional<double> sel;
    OutOfRange outOfRange{};
};

class EventDetector {
public:
    // `interval` is S in seconds (0 when not known: then only equal instants follow
    // one another without a gap).
    EventDetector(const EventRule& rule, qint64 interval);

    // What one level brought about: the event that it ended (by a gap before it or by a
    // dip reaching the bridge), and the start of an event that now lasts long enough.
    // Both may come with one level: an event ended by a gap, then a new one started.
    struct Step {
        std::optional<LevelEvent> ended;
        std::optional<qint64> startedAt;
    };

    // Levels come in time order.
    [[nodiscard]] Step add(const LevelSample& sample) {
        // Outside a run a quiet level changes nothing but the time (most levels of a
        // survey, looked at here without a call).
        if (!open_ && sample.level < rule_.threshold) {
            previous_ = sample.time;
            hasPrevious_ = true;
            return {};
        }
        return addToRun(sample);
    }
    // The end of the levels: the event still open, if it lasted long enough.
    [[nodiscard]] std::optional<LevelEvent> finish();

    // Whether an event has started and not ended yet.
    [[nodiscard]] bool inEvent() const { return started_; }

private:
    [[nodiscard]] Step addToRun(const LevelSample& sample);
    [[nodiscard]] std::optional<LevelEvent> close();

    EventRule rule_;
    qint64 interval_;
    // The instant of the level before, apart from its flag (an optional is written in
    // two parts and read whole, which stalls the processor on every level).
    qint64 previous_ = 0;
    bool hasPrevious_ = false;
    // The run being followed, up to its last level at or above the threshold.
    bool open_ = false;
    bool started_ = false;
    qint64 start_ = 0;
    qint64 lastAbove_ = 0;
    EnergyMean energy_;
    std::optional<double> lmax_;
    // The levels below the threshold since then, joined to the run if it goes on.
    EnergyMean dip_;
};

// Every event of a survey's levels (in time order).
[[nodiscard]] platform::LargeVector<LevelEvent> findEvents(std::span<const LevelSample> samples,
                                                           const EventRule& rule, qint64 interval);

}  // namespace lp::stats
