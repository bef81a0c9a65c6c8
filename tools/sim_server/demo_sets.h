// The sets the simulator program keeps in its memory on request (--sets N): sizes that
// exercise every way a download splits, ranges and weightings that differ, and one set
// whose time stamps run past midnight.
#pragma once

#include <vector>

#include "sim/stored_set.h"

namespace lp::sim {

// Record counts of the demo sets, used in turn.
inline constexpr int kDemoSizes[] = {120, 1024, 2500, 0, 1, 1018, 1023, 3000};

// Up to `count` sets that fit in `capacityBytes`; fewer when the memory would overflow.
[[nodiscard]] std::vector<StoredSet> demoSets(int count, qint64 capacityBytes);

}  // namespace lp::sim
