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
    std::optional<double> lmax;
    std::optional<double> lmin;
    for (const LevelSample& sample : samples) {
        // A level lies below 145 dB and a reading out of range stands at 25 or 145 dB,
        // so its class is at most the top one.
        ++result.counts[tenthClassOf(sample.level)];
        energy.add(sample);
        if (sample.inRange()) {
            lmax = std::max(lmax.value_or(sample.level), sample.level);
            lmin = std::min(lmin.value_or(sample.level), sample.level);
        }
    }
    const ClassBounds bounds = classBounds(result.counts);
    result.hasLevel = bounds.any;
    result.classMin = bounds.min;
    result.classMax = bounds.max;
    result.levels = lnLevels(result.counts, result.recordCount, Resolution::TenthDb);
    LevelFigures& figures = result.figures;
    figures.withLevel = energy.count();
    figures.leftOut = result.recordCount - energy.count();
    figures.leq = energy.leq();
    figures.lmax = lmax;
    figures.lmin = lmin;
    return result;
}

}  // namespace lp::stats
