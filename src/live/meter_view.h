// What the panel face shows for one decoded reading: which indicators are lit and
// the texts of the weighting, response, range and level labels.
#pragma once

#include <QString>

#include "link/reading.h"

namespace lp::live {

struct MeterView {
    bool recordShown = false;   // LblRec: the meter records into its memory
    bool fullShown = false;     // LblFull: the meter's memory is full
    bool maxHoldShown = false;  // LblMx
    bool batteryShown = false;  // ImageBT: low battery
    bool underShown = false;    // LblUnder
    bool overShown = false;     // LblOver
    QString weighting;          // LblAc: "A" or "  C"
    QString response;           // LblSF: "FAST" or "    SLOW"
    QString rangeHigh;          // LblUp
    QString rangeLow;           // LblDown
    QString level;              // LblVal: the level text, one decimal, point separator
};

// The level shown before the meter has sent its first frame: no level at all.
inline const QString kNoLevelText = QStringLiteral("---.-");

[[nodiscard]] MeterView meterView(const link::Reading& reading);

}  // namespace lp::live
