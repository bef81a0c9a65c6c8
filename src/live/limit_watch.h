// Limits by time of day on the live level, as a licence or a site's conditions set
// them: a figure (LAeq, LAFmax, LAF10, LAF90) over fixed periods of T aligned to local
// midnight, or a rolling LAeq over the last T seconds, judged against a limit (and a
// warning below it) within given hours.
//
// A rule's alarm starts when its figure reaches the limit (its warning at `warn`),
// ends when the figure falls `hysteresis` dB below that, and is told at most once per
// `repeat` seconds while it lasts. For each fixed-period LAeq rule the level still
// allowed for the rest of the period is worked out after each sample: with n records
// in the period's Leq so far, their energy sum E = sum 10^(L/10), and m whole samples
// left before the period ends ((end - (t_last + S)) / S, rounded down),
//   allowed = 10 lg(((n + m) 10^(DB/10) - E) / m)   when m > 0 and the bracket is > 0,
// else the period is over its limit whatever follows (`exceeded`).
//
// The figures follow the survey's rules: a fixed period is [start, end) of the local
// wall clock (stats::periodHolding), a sample counts in the period its instant lies in,
// a text that carries no level counts in no figure, and a reading out of the measuring
// range counts only in L10 and L90 (at 25 or 145 dB, as stats::ExceedanceLevels counts
// it). A fixed-period rule's hours hold the period's start; a rolling rule's the
// sample. A rolling LAeq has a value once the samples since the first (or since the
// first after a gap longer than T) span T. Levels are compared as shown, to 0.1 dB
// (stats::shownLevel), as `assess limits` compares them. A change of level is told as
// the new level's Start, a return to quiet as the End of the level it had; leaving the
// rule's hours ends it too.
//
// No window: the panel renders statuses() and the command line's logger uses the same
// object, both fed the live cycle's samples; a record file replayed through it gives
// the same events.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "assess/limits.h"
#include "live/sample.h"

namespace lp::live {

struct LiveLimitRule {
    assess::LimitFigure figure = assess::LimitFigure::Laeq;
    bool rolling = false;  // a rolling LAeq over the last `length` seconds
    qint64 length = 900;   // seconds: the fixed period (a whole part of a day) or the span
    int from = 0;          // local hours; to <= from runs over midnight
    int to = 24;
    double db = 0.0;
    std::optional<double> warn;
    QString text;  // as given: "laeq,15min,23-07,45,warn=42", "laeq~5min,00-24,85"
    friend bool operator==(const LiveLimitRule&, const LiveLimitRule&) = default;
};

struct LiveLimitOptions {
    std::vector<LiveLimitRule> rules;
    double hysteresis = 1.0;  // dB
    qint64 repeat = 300;      // seconds between two tellings of one alarm
};

enum class LimitLevel { Quiet, Warning, Alarm };
// "warning", "alarm" ("" for Quiet).
[[nodiscard]] QString limitLevelText(LimitLevel level);

// A rule after the latest sample.
struct LimitStatus {
    QString rule;                   // its text
    QString label;                  // "LAeq,15min", "LAeq,5min (rolling)" (the notation's)
    bool active = false;            // the sample lies within the rule's hours
    std::optional<double> soFar;    // the period's figure so far, or the rolling LAeq
    std::optional<double> allowed;  // fixed-period LAeq rules: the level still allowed
    bool exceeded = false;          // ...or over its limit whatever follows
    qint64 secondsLeft = 0;         // fixed periods: m x S
    LimitLevel level = LimitLevel::Quiet;
    friend bool operator==(const LimitStatus&, const LimitStatus&) = default;
};

// A rule's warning or alarm told: when it starts, again every `repeat` seconds while it
// lasts, and when it ends.
struct LimitEvent {
    enum class Kind { Start, Repeat, End } kind = Kind::Start;
    QString rule;        // its text
    QString label;       // "LAeq,15min"
    double value = 0.0;  // the figure when told
    double limit = 0.0;  // the limit or warning level reached
    LimitLevel level = LimitLevel::Alarm;
    qint64 instant = 0;  // seconds since the epoch, of the sample
    int utcOffset = 0;   // local time's, at the sample
    qint64 since = 0;    // the instant this level began (the Start's)
};
// "start", "repeat", "end".
[[nodiscard]] QString limitEventKindText(LimitEvent::Kind kind);

// A rule's status as a line the user reads: "LAeq,15min so far 71.2 · allowed for the
// remaining 6 min: 78.4", "LAeq,15min so far 80.2 · over its limit whatever follows",
// "LAeq,5min (rolling) 71.2", "LAFmax,15min so far 88.0"; "LAeq,15min: outside its
// hours", "LAeq,5min (rolling): no level yet".
[[nodiscard]] QString limitStatusText(const LimitStatus& status);

class LimitWatch : public QObject {
    Q_OBJECT
public:
    explicit LimitWatch(QObject* parent = nullptr);
    ~LimitWatch() override;

    // The rules from now (the periods going on start again).
    void setOptions(LiveLimitOptions options);
    [[nodiscard]] const LiveLimitOptions& options() const { return options_; }
    // S, the sampling time in seconds.
    void setInterval(int seconds);
    // One sample of the live cycle, at its clock time to the second (sample.when): the
    // events it brings are emitted after statuses() holds it, then statusesChanged().
    void take(const lp::live::Sample& sample);
    // The rules after the latest sample, in the order of the options.
    [[nodiscard]] const std::vector<LimitStatus>& statuses() const { return statuses_; }

signals:
    void eventOccurred(const lp::live::LimitEvent& event);
    void statusesChanged(const std::vector<lp::live::LimitStatus>& statuses);

private:
    struct Watch;
    LiveLimitOptions options_;
    int interval_ = 1;
    std::vector<Watch> watches_;
    std::vector<LimitStatus> statuses_;
};

// The level still allowed by the rule above: none when m <= 0 or the bracket is not
// positive (then the period is over its limit whatever follows).
[[nodiscard]] std::optional<double> allowedLevel(qint64 n, double energySum, qint64 m, double db);

}  // namespace lp::live
