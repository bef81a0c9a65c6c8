// Everything the panel window shows of the live cycle, as one value: the window
// renders it and reads nothing back.
#pragma once

#include <QString>

#include "live/meter_view.h"

namespace lp::live {

struct LiveView {
    MeterView meter;               // the LCD: level and indicators
    QString max;                   // LblMax; empty until the first frame
    QString min;                   // LblMin
    QString time;                  // LblTime: the time of the last sample, "hh:nn:ss"
    QString link;                  // LblComm: "COM1", "No COM", "Wait..."
    bool silent = false;           // the meter does not answer (LblComm turns red)
    bool clockSetPending = false;  // a clock set waits for the line (MEMORY is disabled)
    int samplingSeconds = 2;       // LblSample
};

}  // namespace lp::live
