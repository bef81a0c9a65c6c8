// Counting level texts into classes and keeping the running level figures.
#include "stats/level_tally.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/numeric_text.h"
#include "records/level_marks.h"
#include "stats/percentiles.h"

namespace lp::stats {
namespace {

// The top class's level: texts at or above it are counted there and carry no figure.
constexpr double kTopLevel = 145.0;

// 10^(x/10) = e^(x * ln(10)/10)
constexpr double kLn10Over10 = 0.23025850929940458;

// The tenths of a level written the common way, one to three digits, a point and one
// digit ("65.3"), below 145 dB; -1 for any other text. Such a text falls under rule 4
// and its class follows from its tenths alone.
template <typename Text>
int plainTenths(Text text) {
    const qsizetype size = text.size();
    if (size < 3 || size > 5 || text[size - 2] != QLatin1Char('.')) {
        return -1;
    }
    const auto digit = [text](qsizetype i) { return text[i].unicode() - unsigned('0'); };
    unsigned tenths = digit(size - 1);
    bool digits = tenths <= 9;
    unsigned scale = 10;
    for (qsizetype i = size - 3; i >= 0; --i, scale *= 10) {
        digits &= digit(i) <= 9;
        tenths += digit(i) * scale;
    }
    return digits && tenths < LevelTally::kPlainTenths ? static_cast<int>(tenths) : -1;
}

// The value the number reader gives for the text of these tenths (whole part plus
// the fraction divided once), so the figures do not depend on the path a text took.
double tenthsLevel(int tenths) {
    return static_cast<double>(tenths / 10) + static_cast<double>(tenths % 10) / 10.0;
}

// Rules 1 to 4 for a text that is not written the common way.
template <typename Text>
LevelReading readUnplain(Text text) {
    using Kind = LevelReading::Kind;
    const records::LevelMarks marks = records::levelMarks(text);
    if (marks.star) {
        return {Kind::NoClass};
    }
    if (marks.dash) {
        return {Kind::Dash};
    }
    if (marks.ell) {
        return {Kind::Top};
    }
    if (!platform::startsWithNumber(text)) {
        return {Kind::NoClass};  // no level at all ("dB", a word): in no class, like "*"
    }
    const double value = platform::leadingNumber(text);
    if (!(value < kTopLevel)) {
        // Beyond every measuring range: no measurement, whatever its digits say.
        return {Kind::Top};
    }
    // No "-" in the text, so the value is 0 or more and below the top class.
    return {Kind::Level, value};
}

template <typename Text>
LevelReading readAny(Text text) {
    if (const int tenths = plainTenths(text); tenths >= 0) {
        return {LevelReading::Kind::Level, tenthsLevel(tenths), tenths};
    }
    return readUnplain(text);
}

}  // namespace

LevelReading readLevel(QLatin1StringView text) {
    return readAny(text);
}

LevelReading readLevel(QStringView text) {
    return readAny(text);
}

int tenthClassOf(double level) {
    return static_cast<int>(platform::roundHalfEven(level * 10.0));
}

LevelTally::LevelTally(Resolution resolution)
    : resolution_(resolution),
      counts_(topClass(resolution) + 1, 0),
      tenthsCounts_(kPlainTenths, 0) {}

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
    if (const int tenths = plainTenths(text); tenths >= 0) {
        ++counts_[resolution_ == Resolution::TenthDb ? tenths : tenths / 10];
        ++tenthsCounts_[tenths];
        ++withLevel_;
        return;
    }
    const LevelReading reading = readUnplain(text);
    switch (reading.kind) {
        case LevelReading::Kind::NoClass:
            return;
        case LevelReading::Kind::Dash:
            ++counts_[dashClass(resolution_)];
            return;
        case LevelReading::Kind::Top:
            ++counts_[topClass(resolution_)];
            return;
        case LevelReading::Kind::Level:
            ++counts_[resolution_ == Resolution::TenthDb ? tenthClassOf(reading.value)
                                                         : static_cast<int>(reading.value)];
            addLevel(reading.value);
            return;
    }
}

void LevelTally::addLevel(double level) {
    if (otherLevels_ == 0) {
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
    ++otherLevels_;
    ++withLevel_;
    lmax_ = std::max(lmax_, level);
    lmin_ = std::min(lmin_, level);
}

// Extremes and Leq over both kinds of level: the energy of the plain ones is summed
// class by class, count times the class's energy, against the highest level.
void LevelTally::fillFigures(LevelFigures& figures) const {
    double lmax = otherLevels_ > 0 ? lmax_ : -std::numeric_limits<double>::infinity();
    double lmin = otherLevels_ > 0 ? lmin_ : std::numeric_limits<double>::infinity();
    int lowest = kPlainTenths;
    int highest = -1;
    for (int tenths = 0; tenths < kPlainTenths; ++tenths) {
        if (tenthsCounts_[tenths] != 0) {
            lowest = std::min(lowest, tenths);
            highest = tenths;
        }
    }
    if (highest >= 0) {
        lmax = std::max(lmax, tenthsLevel(highest));
        lmin = std::min(lmin, tenthsLevel(lowest));
    }
    double sum =
        otherLevels_ > 0 ? energySum_ * std::exp((energyReference_ - lmax) * kLn10Over10) : 0.0;
    for (int tenths = lowest; tenths <= highest; ++tenths) {
        if (tenthsCounts_[tenths] != 0) {
            sum += static_cast<double>(tenthsCounts_[tenths]) *
                   std::exp((tenthsLevel(tenths) - lmax) * kLn10Over10);
        }
    }
    figures.leq = lmax + 10.0 * std::log10(sum / static_cast<double>(withLevel_));
    figures.lmax = lmax;
    figures.lmin = lmin;
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
        fillFigures(figures);
    }
    return result;
}

}  // namespace lp::stats
