#include "live/meter_view.h"

#include "platform/numeric_text.h"

namespace lp::live {

MeterView meterView(const link::Reading& reading) {
    MeterView v;
    v.recordShown = reading.meterRecording;
    v.fullShown = reading.memoryFull;
    v.maxHoldShown = reading.maxHold;
    v.weighting = reading.weightingA ? QStringLiteral("A") : QStringLiteral("  C");
    v.response = reading.slowResponse ? QStringLiteral("    SLOW") : QStringLiteral("FAST");
    v.batteryShown = reading.batteryLow;
    v.underShown = reading.underRange;
    v.overShown = reading.overRange;
    v.rangeHigh = QString::number(reading.rangeHigh);
    v.rangeLow = QString::number(reading.rangeLow);
    v.level = platform::levelText(reading.level);
    return v;
}

}  // namespace lp::live
