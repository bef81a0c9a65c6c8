// Counting timed levels into 0.1 dB classes.
#include "stats/sample_ln.h"

#include <algorithm>

#include "stats/level_tally.h"
#include "stats/percentiles.h"

namespace lp::stats {

LnResult lnOfSamples(std::span<const LevelSample> samples) {
    LnResult result;
    result.resolution = Resolution::TenthDb;
    result.recordCount = static_cast<qint64>(samples.size());
    result.counts = QList<qint64>(topClass(Resolution::TenthDb) + 1, 0);
    EnergyMean energy;
    for (const LevelSample& sample : samples) {
        // A level that counts lies below 145 dB, so its class is at most the top one.
        ++result.counts[tenthClassOf(sample.level)];
        energy.add(sample);
    }
    const ClassBounds bounds = classBounds(result.counts);
    result.hasLevel = bounds.any;
    result.classMin = bounds.min;
    result.classMax = bounds.max;
    result.levels = lnLevels(result.counts, result.recordCount, Resolution::TenthDb);
    LevelFigures& figures = result.figures;
    figures.withLevel = result.recordCount;
    if (!samples.empty()) {
        const auto [low, high] = std::minmax_element(
            samples.begin(), samples.end(),
            [](const LevelSample& a, const LevelSample& b) { return a.level < b.level; });
        figures.leq = energy.leq();
        figures.lmax = high->level;
        figures.lmin = low->level;
    }
    return result;
}

}  // namespace lp::stats
