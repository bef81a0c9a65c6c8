#include "sim/demo_sets.h"

#include <cmath>
#include <iterator>
#include <numbers>

#include "link/meter_decode.h"

namespace lp::sim {

std::vector<StoredSet> demoSets(int count, qint64 capacityBytes, const QDateTime& firstStart) {
    constexpr quint16 kIntervals[] = {1, 2, 5, 10, 60, 15};
    constexpr int kSizeCount = static_cast<int>(std::size(kDemoSizes));
    const QDateTime& first = firstStart;
    std::vector<StoredSet> sets;
    qint64 used = 0;
    for (int i = 0; i < count; ++i) {
        const int records = kDemoSizes[i % kSizeCount];
        if (used + kSetHeaderSize + kRecordSize * records > capacityBytes) {
            break;
        }
        const int range = i % 7;
        const quint16 interval = kIntervals[i % std::size(kIntervals)];
        // The second set starts late in the evening: its stamps carry into the next day.
        const QDateTime start = i == 1 ? QDateTime(first.date(), QTime(23, 45, 0))
                                       : first.addDays(i).addSecs(i * 1337 % 3600);
        const link::RangeEnds ends = link::rangeOfCode(range);
        const double middle = (ends.low + ends.high) / 2.0;
        sets.push_back(makeSet(start, range, i % 2 == 0, interval, records, [=](int k) {
            constexpr double kTwoPi = 2.0 * std::numbers::pi;
            // Swells around the middle of the range that now and then leave it.
            return middle + 14.0 * std::sin(kTwoPi * k / 97.0) +
                   (14.0 + i % 3) * std::sin(kTwoPi * k / 13.0 + 1.0) +
                   1.7 * std::sin(kTwoPi * k / 3.3);
        }));
        used += sets.back().byteSize();
    }
    return sets;
}

}  // namespace lp::sim
