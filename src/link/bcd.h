// Binary-coded decimal, the meter's way of writing dates and times: one byte per two
// decimal digits (59 -> 0x59). The one place where both directions are done.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace lp::link {

// 0..99 as one BCD byte; values outside are held to 0..99 first.
[[nodiscard]] quint8 toBcd(int value);
// A BCD byte back to 0..99; nullopt when a half is above 9 (an erased 0xFF, say).
[[nodiscard]] std::optional<int> fromBcd(quint8 byte);

// yy mm dd hh nn ss, one BCD byte each (years of this century: 2009 -> 0x09).
[[nodiscard]] QByteArray bcdDateTime(const QDateTime& when);

}  // namespace lp::link
