// The sets a simulated meter keeps in its memory (the built-in simulated meter, and
// the simulator program's --sets N): sizes that exercise every way a download splits,
// ranges and weightings that differ, and one set whose time stamps run past midnight.
#pragma once

#include <vector>

#include "sim/stored_set.h"

namespace lp::sim {

// Record counts of the demo sets, used in turn.
inline constexpr int kDemoSizes[] = {120, 1024, 2500, 0, 1, 1018, 1023, 3000};

// Up to `count` sets that fit in `capacityBytes`; fewer when the memory would overflow.
// The first set starts at `firstStart`, each later one about a day after the one before.
[[nodiscard]] std::vector<StoredSet> demoSets(int count, qint64 capacityBytes,
                                              const QDateTime& firstStart);

}  // namespace lp::sim
