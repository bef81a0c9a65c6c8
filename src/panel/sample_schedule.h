// The once-per-second sample tick: when a sample is due, and the texts a sample
// carries (clock, date-time, and the tail written after the record number).
#pragma once

#include <QDateTime>
#include <QString>

namespace lp::panel {

// The sampling time in seconds held by LblSample's caption ("2 sec" gives 2).
[[nodiscard]] double samplingSeconds(const QString& sampleCaption);

// LblSample's caption for a sampling time: "60 sec".
[[nodiscard]] QString samplingCaption(int seconds);

// Whether this tick takes a sample: the first tick, then every `seconds` ticks.
[[nodiscard]] bool sampleDue(int sampleTick, double seconds);

// "hh:nn:ss", 24-hour clock.
[[nodiscard]] QString timeText(const QDateTime& when);
// "YYYY/MM/DD hh:nn:ss".
[[nodiscard]] QString dateTimeText(const QDateTime& when);
// Date-time, TAB, level text, TAB: a recording line without its number.
[[nodiscard]] QString sampleTail(const QString& dateTime, const QString& levelText);

}  // namespace lp::panel
