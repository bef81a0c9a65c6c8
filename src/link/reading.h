// The last decoded measurement: the live frame's level and the meter's status.
#pragma once

#include <QtGlobal>

namespace lp::link {

struct Reading {
    float Level = 0.0f;    // dB, 0.1 dB resolution
    qint16 RangeLow = 0;   // lower end of the measuring range, dB
    qint16 RangeHigh = 0;  // upper end of the measuring range, dB
    qint16 MeterRecording = 0;
    qint16 MemoryFull = 0;
    qint16 MaxHold = 0;
    qint16 WeightingA = 0;    // 1: A weighting, 0: C weighting
    qint16 SlowResponse = 0;  // 1: SLOW, 0: FAST
    qint16 HundredFlag = 0;   // the level is 100 dB or more
    qint16 BatteryLow = 0;
    qint16 UnderRange = 0;
    qint16 OverRange = 0;
};

}  // namespace lp::link
