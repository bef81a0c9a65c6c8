// Counting timed levels into 0.1 dB classes.
#include "stats/sample_ln.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "stats/exceedance.h"
#include "stats/figure_text.h"
#include "stats/percentiles.h"

namespace lp::stats {

LnResult lnOfSamples(std::span<const LevelSample> samples) {
    LnResult result;
    result.resolution = Resolution::TenthDb;
    result.recordCount = static_cast<qint64>(samples.size());
    ExceedanceLevels order;
    EnergyMean energy;
    std::optional<double> lmax;
    std::optional<double> lmin;
    for (const LevelSample& sample : samples) {
        order.add(sample.level);
        energy.add(sample);
        if (sample.inRange()) {
            lmax = std::max(lmax.value_or(sample.level), sample.level);
            lmin = std::min(lmin.value_or(sample.level), sample.level);
        }
    }
    result.counts = QList<qint64>(order.classCounts().begin(), order.classCounts().end());
    const ClassBounds bounds = classBounds(result.counts);
    result.hasLevel = bounds.any;
    result.classMin = bounds.min;
    result.classMax = bounds.max;
    std::array<int, 100> percents;
    std::iota(percents.begin(), percents.end(), 0);
    result.levels = QStringList(percents.size());
    const std::vector<double> ln = order.exceeded(percents, samples);
    for (size_t n = 0; n < ln.size(); ++n) {
        result.levels[qsizetype(n)] = levelText(ln[n]);
    }
    LevelFigures& figures = result.figures;
    figures.withLevel = energy.count();
    figures.leftOut = result.recordCount - energy.count();
    figures.leq = energy.leq();
    figures.lmax = lmax;
    figures.lmin = lmin;
    return result;
}

}  // namespace lp::stats
