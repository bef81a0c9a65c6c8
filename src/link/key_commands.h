// The meter's keys pressed from the PC, and the clock set. Each is one queued
// exchange: it never cuts into a poll, it runs right after it.
#pragma once

#include <QDateTime>
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

// The six BCD clock bytes for a date and time: yy mm dd hh nn ss.
[[nodiscard]] QByteArray clockBytes(const QDateTime& when);

// Queues "D", 0.2 s, then the six clock bytes of `when`. `sent` runs when the bytes
// have gone out (the caption shows "Com1" then).
void setMeterClock(MeterLink& link, const QDateTime& when, std::function<void()> sent);

}  // namespace lp::link
