// Levels exceeded for a share of the time, as the survey gives them: LN is the level
// exceeded for N % of the time, the (100 - N) % percentile of the counted levels with
// linear interpolation between ordered levels (a spreadsheet's PERCENTILE.INC, numpy's
// percentile). With the n levels in order x(0) <= ... <= x(n-1) and
// p = (100 - N)/100 * (n - 1): LN = x(floor p) + frac(p) * (x(floor p + 1) - x(floor p)).
// So L0 is the highest level, L100 the lowest and L50 the median.
//
// The levels are counted in their 0.1 dB classes, which keep their order: the level of
// a given rank is the one its class holds. A class holds one level for the levels of a
// record file ("65.3"); only where it holds several ("65.34", "65.26") are they taken
// from the levels themselves. So no copy of the levels is made.
#pragma once

#include <span>
#include <vector>

#include "stats/level_sample.h"

namespace lp::stats {

class ExceedanceLevels {
public:
    ExceedanceLevels();

    void add(double level);
    [[nodiscard]] qint64 count() const { return count_; }
    // The count of each 0.1 dB class (index: tenths of a dB, 0 .. 1450).
    [[nodiscard]] const std::vector<qint64>& classCounts() const { return counts_; }

    // LN for each N of `percents` (0 .. 100), in their order, over the levels added,
    // which `samples` holds (in any order; read only for a class that holds more than
    // one level). Empty when no level was added.
    [[nodiscard]] std::vector<double> exceeded(std::span<const int> percents,
                                               std::span<const LevelSample> samples) const;

    // Forgets the levels added, keeping the room.
    void clear();

private:
    // The level of rank `rank` (0: the lowest) over the levels added.
    [[nodiscard]] double levelOfRank(qint64 rank, std::span<const LevelSample> samples) const;

    static constexpr int kNoClass = 1 << 30;
    std::vector<qint64> counts_;
    std::vector<double> firstLevel_;  // the level first counted in each class
    std::vector<char> mixed_;         // whether a class holds more than one level
    qint64 count_ = 0;
    int low_ = kNoClass;
    int high_ = -1;
};

}  // namespace lp::stats
