// What the panel remembers between runs in the settings file: the sampling time, the
// recording file (the SAVE AS dialog opens at it), the alarm box (level, seconds, ALARM
// ON) and the limit rules. Each is written when it changes, not when the program ends,
// so settings forgotten while the panel is open stay forgotten unless changed again.
// None of it changes what a record file holds: the file is chosen, not written, until
// START.
#pragma once

class QSettings;

namespace lp::live {
class LimitWatch;
class LiveCycle;
class Recording;
}  // namespace lp::live

namespace lp::panel {

class Panel;

// Gives the panel, the cycle, the recording and the limits what `settings` holds, then
// writes each of them there as it changes.
void rememberPanelSettings(Panel& panel, live::LiveCycle& cycle, live::Recording& recording,
                           live::LimitWatch& limits, QSettings& settings);

}  // namespace lp::panel
