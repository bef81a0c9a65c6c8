// The levels exceeded for a share of the time, from 0.1 dB class counts.
#include "stats/exceedance.h"

#include <algorithm>

#include "stats/level_tally.h"
#include "stats/resolution.h"

namespace lp::stats {

ExceedanceLevels::ExceedanceLevels()
    : counts_(size_t(topClass(Resolution::TenthDb) + 1), 0),
      firstLevel_(counts_.size(), 0.0),
      mixed_(counts_.size(), 0) {}

void ExceedanceLevels::add(double level) {
    // A level that counts lies from 0 to below 145 dB, so its class is at most the top one.
    const int c = tenthClassOf(level);
    const size_t i = size_t(c);
    if (counts_[i] == 0) {
        firstLevel_[i] = level;
    } else if (level != firstLevel_[i]) {
        mixed_[i] = 1;
    }
    ++counts_[i];
    ++count_;
    low_ = std::min(low_, c);
    high_ = std::max(high_, c);
}

void ExceedanceLevels::clear() {
    if (high_ >= 0) {
        std::fill(counts_.begin() + low_, counts_.begin() + high_ + 1, 0);
        std::fill(mixed_.begin() + low_, mixed_.begin() + high_ + 1, 0);
    }
    count_ = 0;
    low_ = kNoClass;
    high_ = -1;
}

double ExceedanceLevels::levelOfRank(qint64 rank, std::span<const LevelSample> samples) const {
    qint64 below = 0;  // levels in the classes under c
    int c = low_;
    while (below + counts_[size_t(c)] <= rank) {
        below += counts_[size_t(c)];
        ++c;
    }
    if (!mixed_[size_t(c)]) {
        return firstLevel_[size_t(c)];
    }
    std::vector<double> inClass;
    inClass.reserve(size_t(counts_[size_t(c)]));
    for (const LevelSample& sample : samples) {
        if (tenthClassOf(sample.level) == c) {
            inClass.push_back(sample.level);
        }
    }
    const auto nth = inClass.begin() + (rank - below);
    std::nth_element(inClass.begin(), nth, inClass.end());
    return *nth;
}

std::vector<double> ExceedanceLevels::exceeded(std::span<const int> percents,
                                               std::span<const LevelSample> samples) const {
    std::vector<double> levels;
    if (count_ == 0) {
        return levels;
    }
    levels.reserve(percents.size());
    for (const int n : percents) {
        // p = (100 - N)(count - 1)/100, its whole part and hundredths worked out exactly.
        const qint64 scaled = qint64(100 - n) * (count_ - 1);
        const qint64 rank = scaled / 100;
        const double fraction = double(scaled % 100) / 100.0;
        const double lower = levelOfRank(rank, samples);
        levels.push_back(
            fraction == 0.0 ? lower : lower + fraction * (levelOfRank(rank + 1, samples) - lower));
    }
    return levels;
}

}  // namespace lp::stats
