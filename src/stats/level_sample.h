// One timed level of a survey or of a live run, and the energy mean of levels.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <optional>

#include "stats/resolution.h"

namespace lp::stats {

// 10^(level/10), the energy a level stands for.
[[nodiscard]] inline double energyOf(double level) {
    constexpr double kLn10Over10 = 0.23025850929940458;  // 10^(x/10) = e^(x ln10/10)
    return std::exp(level * kLn10Over10);
}

// The levels a reading outside the measuring range stands for in the classes, the
// percentiles and against an event's threshold, the classes the Ln tally counts it in:
// "-" (under the range) at 25 dB, "L" and numbers of 145 dB up (over it) at 145 dB.
inline constexpr double kUnderRangeLevel = dashClass(Resolution::TenthDb) / 10.0;
inline constexpr double kOverRangeLevel = topClass(Resolution::TenthDb) / 10.0;

// A record that carries a level: its instant (seconds since the epoch), its level, and
// that level's energy, worked out once for all the sums it goes into. A reading outside
// the measuring range carries no energy: it counts as a record, in the classes and
// against a threshold, but stays out of Leq, Lmax and Lmin.
struct LevelSample {
    qint64 time = 0;
    double level = 0.0;
    double energy = 0.0;  // 10^(level/10); 0 outside the measuring range

    [[nodiscard]] bool inRange() const { return energy > 0.0; }
    [[nodiscard]] bool overRange() const { return !inRange() && level >= kOverRangeLevel; }
};

[[nodiscard]] inline LevelSample levelSample(qint64 time, double level) {
    return {time, level, energyOf(level)};
}
[[nodiscard]] inline LevelSample underRangeSample(qint64 time) {
    return {time, kUnderRangeLevel, 0.0};
}
[[nodiscard]] inline LevelSample overRangeSample(qint64 time) {
    return {time, kOverRangeLevel, 0.0};
}

// 10·lg(energy): the level of an energy.
[[nodiscard]] inline double levelOf(double energy) {
    return 10.0 * std::log10(energy);
}

// The readings outside the measuring range among the records of a stretch (a period, a
// part of a day, an event). Where there are any, its Leq and Lmax are bounds: the true
// levels of "L" lie higher and those of "-" lower than any figure shows.
struct OutOfRange {
    qint64 over = 0;   // "L" or 145 dB up
    qint64 under = 0;  // "-"
    [[nodiscard]] bool any() const { return over + under > 0; }
};

// The energy mean 10·lg(mean of 10^(L/10)) of the levels added, and how many readings
// outside the measuring range came with them. Levels that carry a figure lie below
// 145 dB, so the plain sum stays far from overflow.
class EnergyMean {
public:
    void add(const LevelSample& sample) {
        if (sample.inRange()) {
            energy_ += sample.energy;
            ++count_;
        } else {
            ++(sample.overRange() ? over_ : under_);
        }
    }
    void add(const EnergyMean& other) {
        energy_ += other.energy_;
        count_ += other.count_;
        over_ += other.over_;
        under_ += other.under_;
    }
    // The levels in the mean; with the readings out of range, the records.
    [[nodiscard]] qint64 count() const { return count_; }
    [[nodiscard]] qint64 records() const { return count_ + over_ + under_; }
    [[nodiscard]] OutOfRange outOfRange() const { return {over_, under_}; }
    [[nodiscard]] std::optional<double> leq() const {
        return count_ > 0 ? std::optional(levelOf(energy_ / static_cast<double>(count_)))
                          : std::nullopt;
    }

private:
    double energy_ = 0.0;
    qint64 count_ = 0;
    qint64 over_ = 0;
    qint64 under_ = 0;
};

// The share of a stretch of `length` seconds that `records` records of `interval`
// seconds each cover, at most 1; none when the interval is not known.
[[nodiscard]] inline std::optional<double> coverageOf(qint64 records,
                                                      std::optional<qint64> interval,
                                                      qint64 length) {
    if (!interval || length <= 0) {
        return std::nullopt;
    }
    return std::min(1.0, static_cast<double>(records) * static_cast<double>(*interval) /
                             static_cast<double>(length));
}

}  // namespace lp::stats
