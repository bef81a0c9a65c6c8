// The last decoded measurement: the live frame's level and the meter's status.
#pragma once

#include <QtGlobal>

namespace lp::link {

struct Reading {
    float level = 0.0f;    // dB, 0.1 dB resolution
    qint16 rangeLow = 0;   // lower end of the measuring range, dB
    qint16 rangeHigh = 0;  // upper end of the measuring range, dB
    bool meterRecording = false;
    bool memoryFull = false;
    bool maxHold = false;
    bool weightingA = false;    // true: A weighting, false: C weighting
    bool slowResponse = false;  // true: SLOW, false: FAST
    bool hundredFlag = false;   // the level is 100 dB or more
    bool batteryLow = false;
    bool underRange = false;
    bool overRange = false;

    friend bool operator==(const Reading&, const Reading&) = default;
};

}  // namespace lp::link
