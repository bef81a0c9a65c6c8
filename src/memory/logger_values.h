// The values typed into the memory window (identification code, sampling interval)
// checked and turned into the two bytes the meter takes, and the meter clock reply
// turned into its text.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace lp::memory {

inline constexpr int kMeterClockReplySize = 6;

// The two bytes (high, low) of the identification code typed as `text`: its leading
// number (none counts as 0) taken to the nearest whole number, halves to even.
// nullopt when the number lies outside 0..65535; the caller then shows
// "Invalid No.s, Try Again!".
[[nodiscard]] std::optional<QByteArray> idCodeBytes(QStringView text);

// The same for the sampling interval, valid 1..65535 seconds. "2 sec" gives 2. A value
// that rounds to 0 (0.4, 0.5) is refused too: the meter cannot sample every 0 seconds.
[[nodiscard]] std::optional<QByteArray> samplingIntervalBytes(QStringView text);

// The meter clock reply (yy mm dd hh nn ss, BCD) as "03/15/09-----14:05:09";
// an empty text for a reply shorter than six bytes.
[[nodiscard]] QString meterClockText(const QByteArray& reply);

}  // namespace lp::memory
