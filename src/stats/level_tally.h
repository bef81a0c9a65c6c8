// Counts level texts into classes, one record at a time, and keeps the running
// figures (energy sum, extremes) over the records that carry a level.
//
// Each text goes by the first rule that applies:
//   1. it contains "*", or it carries no number and neither "-" nor "L" ("dB", a
//      word, nothing): counted in no class (it still counts as a record);
//   2. it contains "-": the 25 dB class;
//   3. it contains "L", or its number is 145 or more: the 145 dB class;
//   4. otherwise its number v: class round-half-even(v * 10) at 0.1 dB, the
//      integer part of v at 1 dB.
// The number is the leading number of the text (platform::leadingNumber). Only
// texts under rule 4 carry a level into the figures (Leq, Lmax, Lmin), so no figure
// lies above the top class; the others are counted as left out.
#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QList>
#include <QStringView>
#include <optional>
#include <vector>

#include "stats/level_sample.h"
#include "stats/ln_result.h"
#include "stats/resolution.h"

namespace lp::stats {

// What a level text carries by the rules above.
struct LevelReading {
    enum class Kind : quint8 {
        NoClass,  // rule 1
        Dash,     // rule 2
        Top,      // rule 3
        Level,    // rule 4: carries `value` into the figures
    };
    Kind kind = Kind::NoClass;
    double value = 0.0;
    // The level's tenths when it is written the common way ("65.3", below 145 dB): its
    // value is then always the same double for the same tenths. -1 otherwise.
    int tenths = -1;

    [[nodiscard]] bool carriesLevel() const { return kind == Kind::Level; }
};

// The timed sample a reading stands for in the figures: a level with its `energy`
// (10^(level/10), which a caller may have at hand), a reading under or over the
// measuring range at 25 or 145 dB without energy, none for a text under rule 1.
[[nodiscard]] inline std::optional<LevelSample> sampleOf(qint64 time, const LevelReading& reading,
                                                         double energy) {
    switch (reading.kind) {
        case LevelReading::Kind::Level:
            return LevelSample{time, reading.value, energy};
        case LevelReading::Kind::Dash:
            return underRangeSample(time);
        case LevelReading::Kind::Top:
            return overRangeSample(time);
        case LevelReading::Kind::NoClass:
            break;
    }
    return std::nullopt;
}
[[nodiscard]] inline std::optional<LevelSample> sampleOf(qint64 time, const LevelReading& reading) {
    return sampleOf(time, reading, reading.carriesLevel() ? energyOf(reading.value) : 0.0);
}

// Reads one level text by the rules above, for a caller that keeps the level rather
// than the text (the survey); the tally applies the same reading.
[[nodiscard]] LevelReading readLevel(QLatin1StringView text);
[[nodiscard]] inline LevelReading readLevel(QByteArrayView latin1) {
    return readLevel(QLatin1StringView(latin1));
}
[[nodiscard]] LevelReading readLevel(QStringView text);

// The 0.1 dB class of a level under rule 4: round-half-even(level * 10).
[[nodiscard]] int tenthClassOf(double level);

class LevelTally {
public:
    // Levels written "d.d", "dd.d" or "ddd.d" below 145 dB are counted by their tenths.
    static constexpr int kPlainTenths = 1450;

    explicit LevelTally(Resolution resolution);

    // Level texts as the record store keeps them (Latin-1 bytes) or as a grid shows them.
    void add(QLatin1StringView text);
    void add(QByteArrayView latin1) { add(QLatin1StringView(latin1)); }
    void add(QStringView text);

    [[nodiscard]] qint64 recordCount() const { return recordCount_; }
    [[nodiscard]] const QList<qint64>& counts() const { return counts_; }

    // Bounds, Ln levels and figures of everything added so far.
    [[nodiscard]] LnResult result() const;

private:
    template <typename Text>
    void addText(Text text);
    void addLevel(double level);
    void fillFigures(LevelFigures& figures) const;

    Resolution resolution_;
    QList<qint64> counts_;
    qint64 recordCount_ = 0;
    qint64 withLevel_ = 0;
    // Levels written "65.3" (most of them) are counted per tenth of a dB; their energy
    // and extremes are worked out from the counts at the end.
    std::vector<qint64> tenthsCounts_;
    // Any other level goes into the running figures below.
    qint64 otherLevels_ = 0;
    // Energy kept as sum of 10^((L - reference)/10), the reference being the highest
    // level so far, so that no level however large overflows the sum.
    double energyReference_ = 0.0;
    double energySum_ = 0.0;
    double lmax_ = 0.0;
    double lmin_ = 0.0;
};

}  // namespace lp::stats
