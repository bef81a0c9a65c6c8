// Alarms on the live level. An alarm is a level and a time: when the level stays at or
// above LEVEL for SECONDS, an event starts; it ends by the survey's event rule
// (stats::EventDetector: a level below LEVEL for the bridge, or a gap in the samples),
// and then carries its figures (duration, Lmax, Leq, SEL). Several alarms run side by
// side, each on its own detector, fed the same samples.
//
// The instants the rule works on. A sample that comes on schedule (within half a second
// of S after the one before) is taken S after it, so the sample timer's jitter never
// breaks a run; any other sample at its own clock time, to the second, so a sample the
// meter did not give is a gap. A sample whose text carries no level (a mark, no number)
// is left out, as the survey leaves it out of a file: it too makes a gap. When no sample
// has come by half a second after the next was due, the gap has begun and the events
// going on end at once, not with the next sample.
//
// No window: the panel renders view() and the command line's logger uses the same
// object; the session and the logger own it and feed it the cycle's samples.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "live/live_cycle.h"
#include "live/sample.h"
#include "platform/clock.h"
#include "stats/level_events.h"

namespace lp::live {

struct AlarmLevel {
    double level = 0.0;  // dB
    int seconds = 0;     // how long the level must stay at or above it
    friend bool operator==(const AlarmLevel&, const AlarmLevel&) = default;
};

// "85" or "85/5" (LEVEL[/SECONDS]: a level of 0 to 199.9 dB, 0 to 86400 s); none for
// any other text.
[[nodiscard]] std::optional<AlarmLevel> readAlarmLevel(QStringView text);

// One event of one alarm: started, or ended with its figures.
struct AlarmEvent {
    double above = 0.0;  // the alarm's level
    qint64 start = 0;    // instant (seconds since the epoch) of its first level
    std::optional<stats::LevelEvent> ended;
};

struct AlarmView {
    QList<AlarmLevel> levels;
    bool on = false;  // some alarm's event is going on
    // This run's events, oldest first, the last kKeptEvents at most: one going on is
    // listed as started until it ends.
    QList<AlarmEvent> events;
};

class Alarms : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kKeptEvents = 500;

    explicit Alarms(platform::Clock& clock, QObject* parent = nullptr);
    ~Alarms() override;

    [[nodiscard]] const AlarmView& view() const { return view_; }

    // The alarms from now, with the bridge of the event rule (seconds); the events going
    // on end first.
    void setLevels(const QList<AlarmLevel>& levels, qint64 bridge = 0);
    // S, the sampling time in seconds; the events going on end first.
    void setInterval(int seconds);
    // One sample of the live cycle.
    void take(const lp::live::Sample& sample);
    // The samples end (the run stops): the events going on end with what they have.
    void finish();

signals:
    // An event started (`ended` empty) or ended.
    void eventOccurred(const lp::live::AlarmEvent& event);
    void viewChanged(const lp::live::AlarmView& view);

private:
    struct Watch;
    void rebuild();
    void report(const AlarmEvent& event);

    platform::Clock& clock_;
    qint64 bridge_ = 0;
    int interval_ = 1;
    std::vector<Watch> watches_;
    std::optional<qint64> previousMs_;  // the clock time of the sample before
    qint64 previousInstant_ = 0;        // and its instant for the rule
    std::unique_ptr<platform::Timer> gapTimer_;
    AlarmView view_;
};

// Feeds `alarms` every sample of `cycle` and follows its sampling time.
void feedAlarms(LiveCycle& cycle, Alarms& alarms);

}  // namespace lp::live
