// Holding a survey's levels as tenths and its instants as runs.
#include "stats/sample_store.h"

#include <cmath>
#include <limits>

namespace lp::stats {
namespace {

constexpr int kMostTenths = std::numeric_limits<qint16>::max();

// The energy of each level of whole tenths, 0.0 to 3276.7 dB, as energyOf gives it.
const std::vector<double>& tenthsEnergies() {
    static const std::vector<double> energies = [] {
        std::vector<double> table(size_t(kMostTenths) + 1);
        for (int tenths = 0; tenths <= kMostTenths; ++tenths) {
            table[size_t(tenths)] = energyOf(tenths / 10.0);
        }
        return table;
    }();
    return energies;
}

}  // namespace

SampleStore::SampleStore() : energies_(&tenthsEnergies()) {}

void SampleStore::addTime(qint64 time) {
    if (!runs_.empty()) {
        TimeRun& run = runs_.back();
        if (run.count == 1) {
            run.step = time - run.start;
            run.count = 2;
            return;
        }
        if (time == run.start + run.step * run.count) {
            ++run.count;
            return;
        }
    }
    runs_.push_back({time, 0, 1});
}

void SampleStore::add(const LevelSample& sample) {
    addTime(sample.time);
    qint16 code = kWhole;
    if (std::isnan(sample.level)) {
        code = kNoLevel;
    } else if (sample.energy == 0.0 && sample.level == kUnderRangeLevel) {
        code = kUnder;
    } else if (sample.energy == 0.0 && sample.level == kOverRangeLevel) {
        code = kOver;
    } else if (sample.level >= 0.0 && sample.level <= kMostTenths / 10.0) {
        const int tenths = static_cast<int>(std::lround(sample.level * 10.0));
        if (tenths / 10.0 == sample.level && (*energies_)[size_t(tenths)] == sample.energy) {
            code = static_cast<qint16>(tenths);
        }
    }
    if (code == kWhole) {
        whole_.push_back({codes_.size(), sample.level, sample.energy});
    }
    codes_.push_back(code);
}

void SampleStore::clear() {
    codes_ = {};
    runs_ = {};
    whole_ = {};
}

qint64 SampleStore::lastTime() const {
    const TimeRun& run = runs_.back();
    return run.start + run.step * (run.count - 1);
}

void SampleStore::forEachPiece(const std::function<void(std::span<const LevelSample>)>& take,
                               bool withoutLevel, size_t piece) const {
    std::vector<LevelSample> buffer;
    buffer.reserve(std::min(piece, codes_.size()));
    const std::vector<double>& energies = *energies_;
    auto whole = whole_.begin();
    size_t index = 0;
    for (const TimeRun& run : runs_) {
        for (qint64 k = 0; k < run.count; ++k, ++index) {
            const qint64 time = run.start + run.step * k;
            const qint16 code = codes_[index];
            if (code >= 0) {
                buffer.push_back({time, code / 10.0, energies[size_t(code)]});
            } else if (code == kUnder) {
                buffer.push_back(underRangeSample(time));
            } else if (code == kOver) {
                buffer.push_back(overRangeSample(time));
            } else if (code == kNoLevel) {
                if (!withoutLevel) {
                    continue;
                }
                buffer.push_back({time, std::numeric_limits<double>::quiet_NaN(), 0.0});
            } else {
                buffer.push_back({time, whole->level, whole->energy});
                ++whole;
            }
            if (buffer.size() == piece) {
                take(buffer);
                buffer.clear();
            }
        }
    }
    if (!buffer.empty()) {
        take(buffer);
    }
}

platform::LargeVector<LevelSample> SampleStore::samples() const {
    platform::LargeVector<LevelSample> all;
    all.reserve(size());
    forEachPiece([&all](std::span<const LevelSample> piece) {
        all.insert(all.end(), piece.begin(), piece.end());
    });
    return all;
}

size_t SampleStore::bytes() const {
    return codes_.capacity() * sizeof(qint16) + runs_.capacity() * sizeof(TimeRun) +
           whole_.capacity() * sizeof(WholeSample);
}

}  // namespace lp::stats
