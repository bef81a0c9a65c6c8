#include "panel/panel_view.h"

#include "platform/numeric_text.h"

namespace lp::panel {

PanelView panelView(const link::Reading& reading) {
    PanelView v;
    v.recordShown = reading.MeterRecording != 0;
    v.fullShown = reading.MemoryFull != 0;
    v.maxHoldShown = reading.MaxHold != 0;
    v.weighting = reading.WeightingA != 0 ? QStringLiteral("A") : QStringLiteral("  C");
    v.response = reading.SlowResponse != 0 ? QStringLiteral("    SLOW") : QStringLiteral("FAST");
    v.batteryShown = reading.BatteryLow != 0;
    v.underShown = reading.UnderRange != 0;
    v.overShown = reading.OverRange != 0;
    v.rangeHigh = QString::number(reading.RangeHigh);
    v.rangeLow = QString::number(reading.RangeLow);
    v.level = platform::levelText(reading.Level);
    return v;
}

}  // namespace lp::panel
