// The meter's keys pressed from the PC, and the clock set. Each is one queued
// exchange: it never cuts into a poll, it runs right after it.
#pragma once

#include <functional>

#include "link/meter_link.h"

namespace lp::link {

enum class MeterKey {
    AC,         // "A": A/C weighting
    FS,         // "F": FAST/SLOW
    Max,        // "M": max hold
    RangeUp,    // "U"
    RangeDown,  // "P"
    Reset,      // "E" three times
    RecStart,   // "S": the meter starts recording into its memory
    RecStop,    // "T"
};

// Queues the key's exchange on the link.
void pressKey(MeterLink& link, MeterKey key);

// Queues "D", 0.2 s, then the six BCD clock bytes of the PC time read from
// link.clock() as they go out (a clock set that waited behind a poll is not late).
// `done` runs exactly once: true when the bytes went out, false when the link
// refused the exchange (the port is gone) or it was stopped.
void setMeterClock(MeterLink& link, std::function<void(bool sent)> done);

}  // namespace lp::link
