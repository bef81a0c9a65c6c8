#include "live/limit_watch.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "assess/assess_input.h"
#include "stats/exceedance.h"
#include "stats/figure_text.h"
#include "stats/level_tally.h"
#include "stats/local_days.h"
#include "stats/survey_periods.h"

namespace lp::live {
namespace {

stats::Notation notationOf(const link::Reading& reading) {
    return {reading.weightingA ? records::Weighting::A : records::Weighting::C,
            reading.slowResponse ? records::Response::Slow : records::Response::Fast};
}

QString labelOf(const LiveLimitRule& rule, const stats::Notation& notation) {
    assess::LimitRule fixed;
    fixed.figure = rule.figure;
    fixed.length = rule.length;
    const QString label = assess::limitLabel(notation, fixed);
    return rule.rolling ? label + QStringLiteral(" (rolling)") : label;
}

bool holdsHour(const LiveLimitRule& rule, const stats::LocalDays& days, qint64 instant) {
    const assess::DayPart hours{QString(), rule.from, rule.to};
    return hours.holdsHour(days.wallClockAt(instant).secondOfDay / 3600);
}

// The level a rule is at after a figure shown as `value`, from the level it was at.
LimitLevel judged(LimitLevel now, double value, const LiveLimitRule& rule, double hysteresis) {
    if (value >= rule.db) {
        return LimitLevel::Alarm;
    }
    if (now == LimitLevel::Alarm && value > stats::shownLevel(rule.db - hysteresis)) {
        return LimitLevel::Alarm;
    }
    if (rule.warn) {
        if (value >= *rule.warn) {
            return LimitLevel::Warning;
        }
        if (now != LimitLevel::Quiet && value > stats::shownLevel(*rule.warn - hysteresis)) {
            return LimitLevel::Warning;
        }
    }
    return LimitLevel::Quiet;
}

double limitOf(const LiveLimitRule& rule, LimitLevel level) {
    return level == LimitLevel::Warning ? rule.warn.value_or(rule.db) : rule.db;
}

// "6 min", "45 s", "1 h 30 min".
QString durationText(qint64 seconds) {
    QStringList parts;
    if (seconds >= 3600) {
        parts << QStringLiteral("%1 h").arg(seconds / 3600);
    }
    if (seconds % 3600 >= 60) {
        parts << QStringLiteral("%1 min").arg(seconds % 3600 / 60);
    }
    if (seconds % 60 != 0 || seconds == 0) {
        parts << QStringLiteral("%1 s").arg(seconds % 60);
    }
    return parts.join(u' ');
}

}  // namespace

// One rule's figures: the fixed period going on, or the rolling span, and its telling.
struct LimitWatch::Watch {
    stats::LocalDays days;
    // Fixed periods: [start, end) going on (end 0: none yet) and its levels.
    qint64 start = 0;
    qint64 end = 0;
    double energy = 0.0;  // sum of 10^(L/10) over the levels in the measuring range,
    qint64 inRange = 0;   // their count
    std::optional<double> lmax;
    stats::ExceedanceLevels levels;
    std::vector<stats::LevelSample> samples;  // the period's, for the L10 and L90
    // Rolling: the samples of the last T seconds, and the first instant of the run of
    // samples without a gap longer than T.
    std::deque<stats::LevelSample> span;
    std::optional<qint64> first;
    qint64 last = 0;
    // Telling.
    LimitLevel level = LimitLevel::Quiet;
    qint64 since = 0;
    qint64 told = 0;
    double value = 0.0;  // the figure last shown

    void beginPeriod(qint64 instant, qint64 length) {
        const stats::PeriodSpan period = stats::periodHolding(days, instant, length);
        start = period.start;
        end = period.end;
        energy = 0.0;
        inRange = 0;
        lmax.reset();
        levels.clear();
        samples.clear();
    }

    void addToPeriod(const stats::LevelSample& sample) {
        if (sample.inRange()) {
            energy += sample.energy;
            ++inRange;
            lmax = std::max(lmax.value_or(sample.level), sample.level);
        }
        levels.add(sample.level);
        samples.push_back(sample);
    }

    [[nodiscard]] std::optional<double> periodFigure(assess::LimitFigure figure) const {
        switch (figure) {
            case assess::LimitFigure::Laeq:
                return inRange > 0 ? std::optional(stats::levelOf(energy / double(inRange)))
                                   : std::nullopt;
            case assess::LimitFigure::Lmax:
                return lmax;
            case assess::LimitFigure::L10:
            case assess::LimitFigure::L90: {
                if (levels.count() == 0) {
                    return std::nullopt;
                }
                const int percent[] = {figure == assess::LimitFigure::L10 ? 10 : 90};
                return levels.exceeded(percent, samples).front();
            }
        }
        return std::nullopt;
    }
};

QString limitLevelText(LimitLevel level) {
    switch (level) {
        case LimitLevel::Quiet:
            return {};
        case LimitLevel::Warning:
            return QStringLiteral("warning");
        case LimitLevel::Alarm:
            return QStringLiteral("alarm");
    }
    return {};
}

QString limitEventKindText(LimitEvent::Kind kind) {
    switch (kind) {
        case LimitEvent::Kind::Start:
            return QStringLiteral("start");
        case LimitEvent::Kind::Repeat:
            return QStringLiteral("repeat");
        case LimitEvent::Kind::End:
            return QStringLiteral("end");
    }
    return {};
}

QString limitStatusText(const LimitStatus& status) {
    if (!status.active) {
        return status.label + QStringLiteral(": outside its hours");
    }
    if (!status.soFar) {
        return status.label + QStringLiteral(": no level yet");
    }
    const QString level = stats::levelText(*status.soFar);
    if (status.label.endsWith(QStringLiteral(" (rolling)"))) {
        return status.label + u' ' + level;
    }
    QString text = status.label + QStringLiteral(" so far ") + level;
    if (status.exceeded) {
        text += QStringLiteral(" · over its limit whatever follows");
    } else if (status.allowed) {
        text += QStringLiteral(" · allowed for the remaining %1: %2")
                    .arg(durationText(status.secondsLeft), stats::levelText(*status.allowed));
    }
    return text;
}

std::optional<double> allowedLevel(qint64 n, double energySum, qint64 m, double db) {
    if (m <= 0) {
        return std::nullopt;
    }
    const double bracket = double(n + m) * stats::energyOf(db) - energySum;
    if (!(bracket > 0.0)) {
        return std::nullopt;
    }
    return stats::levelOf(bracket / double(m));
}

LimitWatch::LimitWatch(QObject* parent) : QObject(parent) {}

LimitWatch::~LimitWatch() = default;

void LimitWatch::setOptions(LiveLimitOptions options) {
    options_ = std::move(options);
    watches_.clear();
    watches_.resize(options_.rules.size());
    statuses_.clear();
    for (const LiveLimitRule& rule : options_.rules) {
        LimitStatus status;
        status.rule = rule.text;
        status.label = labelOf(rule, {});
        statuses_.push_back(status);
    }
    emit statusesChanged(statuses_);
}

void LimitWatch::setInterval(int seconds) {
    interval_ = std::max(seconds, 1);
}

void LimitWatch::take(const Sample& sample) {
    if (!sample.when.isValid()) {
        return;
    }
    const qint64 instant = sample.when.toSecsSinceEpoch();
    const int offset = sample.when.offsetFromUtc();
    const std::optional<stats::LevelSample> level =
        stats::sampleOf(instant, stats::readLevel(QStringView(sample.levelText)));
    const stats::Notation notation = notationOf(sample.reading);
    std::vector<LimitEvent> events;
    for (size_t i = 0; i < options_.rules.size(); ++i) {
        const LiveLimitRule& rule = options_.rules[i];
        Watch& w = watches_[i];
        LimitStatus status;
        status.rule = rule.text;
        status.label = labelOf(rule, notation);
        std::optional<double> figure;
        if (rule.rolling) {
            if (!w.first || instant - w.last > rule.length) {
                w.first = instant;
            }
            w.last = instant;
            while (!w.span.empty() && w.span.front().time <= instant - rule.length) {
                w.span.pop_front();
            }
            if (level) {
                w.span.push_back(*level);
            }
            status.active = holdsHour(rule, w.days, instant);
            if (instant - *w.first + interval_ >= rule.length) {
                double energy = 0.0;
                qint64 count = 0;
                for (const stats::LevelSample& s : w.span) {
                    energy += s.energy;
                    count += s.inRange() ? 1 : 0;
                }
                if (count > 0) {
                    figure = stats::levelOf(energy / double(count));
                }
            }
        } else {
            if (instant < w.start || instant >= w.end) {
                w.beginPeriod(instant, rule.length);
            }
            if (level) {
                w.addToPeriod(*level);
            }
            status.active = holdsHour(rule, w.days, w.start);
            figure = w.periodFigure(rule.figure);
            if (rule.figure == assess::LimitFigure::Laeq) {
                const qint64 m = std::max<qint64>(0, (w.end - (instant + interval_)) / interval_);
                status.secondsLeft = m * interval_;
                status.allowed = stats::shownLevel(allowedLevel(w.inRange, w.energy, m, rule.db));
                status.exceeded =
                    w.inRange > 0 && !(double(w.inRange + m) * stats::energyOf(rule.db) > w.energy);
            }
        }
        const std::optional<double> shown = stats::shownLevel(figure);
        if (shown) {
            w.value = *shown;
        }
        const LimitLevel next = status.active && shown
                                    ? judged(w.level, *shown, rule, options_.hysteresis)
                                    : LimitLevel::Quiet;
        LimitEvent event{LimitEvent::Kind::Start,
                         rule.text,
                         status.label,
                         w.value,
                         0.0,
                         next,
                         instant,
                         offset,
                         instant};
        if (next != w.level) {
            if (next == LimitLevel::Quiet) {
                event.kind = LimitEvent::Kind::End;
                event.level = w.level;
                event.since = w.since;
            } else {
                w.since = instant;
            }
            w.told = instant;
        } else if (next != LimitLevel::Quiet && instant - w.told >= options_.repeat) {
            event.kind = LimitEvent::Kind::Repeat;
            event.since = w.since;
            w.told = instant;
        } else {
            event.level = LimitLevel::Quiet;  // nothing to tell
        }
        w.level = next;
        if (event.level != LimitLevel::Quiet) {
            event.limit = limitOf(rule, event.level);
            events.push_back(event);
        }
        if (!status.active) {
            status.allowed.reset();
            status.exceeded = false;
            status.secondsLeft = 0;
        } else {
            status.soFar = shown;
        }
        status.level = next;
        statuses_[i] = status;
    }
    for (const LimitEvent& event : events) {
        emit eventOccurred(event);
    }
    emit statusesChanged(statuses_);
}

}  // namespace lp::live
