// One timed level of a survey or of a live run, and the energy mean of levels.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <optional>

namespace lp::stats {

// 10^(level/10), the energy a level stands for.
[[nodiscard]] inline double energyOf(double level) {
    constexpr double kLn10Over10 = 0.23025850929940458;  // 10^(x/10) = e^(x ln10/10)
    return std::exp(level * kLn10Over10);
}

// A record that carries a level: its instant (seconds since the epoch), its level, and
// that level's energy, worked out once for all the sums it goes into.
struct LevelSample {
    qint64 time = 0;
    double level = 0.0;
    double energy = 0.0;
};

[[nodiscard]] inline LevelSample levelSample(qint64 time, double level) {
    return {time, level, energyOf(level)};
}

// 10·lg(energy): the level of an energy.
[[nodiscard]] inline double levelOf(double energy) {
    return 10.0 * std::log10(energy);
}

// The energy mean 10·lg(mean of 10^(L/10)) of the levels added. Levels that carry a
// figure lie below 145 dB, so the plain sum stays far from overflow.
class EnergyMean {
public:
    void add(const LevelSample& sample) {
        energy_ += sample.energy;
        ++count_;
    }
    void add(const EnergyMean& other) {
        energy_ += other.energy_;
        count_ += other.count_;
    }
    [[nodiscard]] qint64 count() const { return count_; }
    [[nodiscard]] std::optional<double> leq() const {
        return count_ > 0 ? std::optional(levelOf(energy_ / static_cast<double>(count_)))
                          : std::nullopt;
    }

private:
    double energy_ = 0.0;
    qint64 count_ = 0;
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
