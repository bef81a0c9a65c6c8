// The once-per-second sample tick: when a sample is due, and the texts a sample
// carries (the clock and the date-time).
#pragma once

#include <QDateTime>
#include <QString>

namespace lp::live {

// LblSample's caption for a sampling time: "60 sec".
[[nodiscard]] QString samplingCaption(int seconds);

// Whether this tick takes a sample: the first tick, then every `seconds` ticks.
[[nodiscard]] bool sampleDue(int sampleTick, int seconds);

// "hh:nn:ss", 24-hour clock.
[[nodiscard]] QString timeText(const QDateTime& when);
// "YYYY/MM/DD hh:nn:ss".
[[nodiscard]] QString dateTimeText(const QDateTime& when);

}  // namespace lp::live
