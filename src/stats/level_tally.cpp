// Counting level texts into classes and keeping the running level figures.
#include "stats/level_tally.h"

#include <algorithm>
#include <cmath>

#include "platform/numeric_text.h"
#include "stats/percentiles.h"

namespace lp::stats {
namespace {

// 10^(x/10) = e^(x * ln(10)/10)
constexpr double kLn10Over10 = 0.23025850929940458;

}  // namespace

LevelTally::LevelTally(Resolution resolution)
    : resolution_(resolution), counts_(topClass(resolution) + 1, 0) {}

void LevelTally::add(QLatin1StringView text) {
    addText(text);
}

void LevelTally::add(QStringView text) {
    addText(text);
}

// The same rules for store bytes and shown texts: the number readers take both as
// they are.
template <typename Text>
void LevelTally::addText(Text text) {
    ++recordCount_;
    bool star = false;
    bool dash = false;
    bool ell = false;
    for (const auto c : text) {
        star |= c == QLatin1Char('*');
        dash |= c == QLatin1Char('-');
        ell |= c == QLatin1Char('L');
    }
    if (star) {
        return;
    }
    if (dash) {
        ++counts_[dashClass(resolution_)];
        return;
    }
    const double value = platform::leadingNumber(text);
    if (!(value < 145.0) || ell) {
        ++counts_[topClass(resolution_)];
    } else {
        // No "-" in the text, so the value is 0 or more and below 145.
        const int index = resolution_ == Resolution::TenthDb
                              ? static_cast<int>(platform::roundHalfEven(value * 10.0))
                              : static_cast<int>(value);
        ++counts_[index];
    }
    if (!ell && platform::startsWithNumber(text)) {
        addLevel(value);
    }
}

void LevelTally::addLevel(double level) {
    if (withLevel_ == 0) {
        energyReference_ = level;
        energySum_ = 1.0;
        lmax_ = level;
        lmin_ = level;
    } else if (level > energyReference_) {
        energySum_ = energySum_ * std::exp((energyReference_ - level) * kLn10Over10) + 1.0;
        energyReference_ = level;
    } else {
        energySum_ += std::exp((level - energyReference_) * kLn10Over10);
    }
    ++withLevel_;
    lmax_ = std::max(lmax_, level);
    lmin_ = std::min(lmin_, level);
}

LnResult LevelTally::result() const {
    LnResult result;
    result.resolution = resolution_;
    result.recordCount = recordCount_;
    result.counts = counts_;
    const ClassBounds bounds = classBounds(counts_);
    result.hasLevel = bounds.any;
    result.classMin = bounds.min;
    result.classMax = bounds.max;
    result.levels = lnLevels(counts_, recordCount_, resolution_);

    LevelFigures& figures = result.figures;
    figures.withLevel = withLevel_;
    figures.leftOut = recordCount_ - withLevel_;
    if (withLevel_ > 0) {
        const double mean = energySum_ / static_cast<double>(withLevel_);
        figures.leq = energyReference_ + 10.0 * std::log10(mean);
        figures.lmax = lmax_;
        figures.lmin = lmin_;
    }
    return result;
}

}  // namespace lp::stats
