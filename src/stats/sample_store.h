// The levels of a survey held compactly: about 2 bytes a record, where LevelSample
// takes 24, so a year of 1 s records fits in some 65 MB.
//
// A level is held as its tenths of a dB in 16 bits only when tenths / 10 gives back
// the very double read ("65.3" is 653 and nothing else): the record files write levels
// in tenths, so every level of them is held exactly and no figure can move by a
// rounding. Any other level (a value with more digits, a level after a correction) is
// held whole beside them. The instants are held as runs of equal steps: a file of
// records one a second is one run.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "platform/large_array.h"
#include "stats/level_sample.h"

namespace lp::stats {

class SampleStore {
public:
    SampleStore();

    // Adds a sample after the others (any instant: the store keeps the order given).
    // A sample without a level (NaN, as readSurvey marks one) is held as such.
    void add(const LevelSample& sample);
    void add(std::span<const LevelSample> samples) {
        for (const LevelSample& sample : samples) {
            add(sample);
        }
    }
    void clear();
    void reserve(size_t samples) { codes_.reserve(samples); }

    [[nodiscard]] size_t size() const { return codes_.size(); }
    [[nodiscard]] bool empty() const { return codes_.empty(); }
    [[nodiscard]] qint64 firstTime() const { return runs_.front().start; }
    [[nodiscard]] qint64 lastTime() const;

    // Hands the samples with a level over in order, as they were added, in pieces of
    // at most `piece`; a piece lives until the next call. `withoutLevel`: those without
    // one too.
    void forEachPiece(const std::function<void(std::span<const LevelSample>)>& take,
                      bool withoutLevel = false, size_t piece = kPiece) const;
    // All of them with a level, as samples.
    [[nodiscard]] platform::LargeVector<LevelSample> samples() const;

    // The bytes held, for the benchmarks and the tests of compactness.
    [[nodiscard]] size_t bytes() const;

    static constexpr size_t kPiece = 65536;

private:
    // Instants start, start + step, ... (count of them).
    struct TimeRun {
        qint64 start = 0;
        qint64 step = 0;
        qint64 count = 0;
    };
    // A sample held whole: its index among the samples, its level and energy.
    struct WholeSample {
        size_t index = 0;
        double level = 0.0;
        double energy = 0.0;
    };
    static constexpr qint16 kUnder = -1;
    static constexpr qint16 kOver = -2;
    static constexpr qint16 kNoLevel = -3;
    static constexpr qint16 kWhole = -4;

    void addTime(qint64 time);

    platform::LargeVector<qint16> codes_;  // tenths, or one of the marks above
    std::vector<TimeRun> runs_;
    std::vector<WholeSample> whole_;
    const std::vector<double>* energies_;  // of each tenths, shared by every store
};

}  // namespace lp::stats
