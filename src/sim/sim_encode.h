// The simulated meter's byte encodings: BCD dates, and the two level bytes that a live
// frame and a stored record share (flags and tens, then units and tenths).
#pragma once

#include <QByteArray>
#include <QDateTime>

namespace lp::sim {

// yy mm dd hh nn ss, each one BCD byte (years of this century: 2009 -> 0x09).
[[nodiscard]] QByteArray bcdDateTime(const QDateTime& when);
// The six bytes back to a date and time in 20yy; invalid (not BCD, no such date) when
// they do not form one.
[[nodiscard]] QDateTime dateTimeFromBcd(const QByteArray& six);

// A level in tenths of a dB, limited to what the display can show (0.0 .. 199.9 dB).
[[nodiscard]] int levelTenths(double dB);

// The two level bytes for `tenths` on range `rangeCode`:
//   first:  bit 7 over range, bit 6 under range, bit 5 battery low, bit 4 hundreds,
//           bits 0-3 tens digit;
//   second: units digit in the high half, tenths digit in the low half.
// Under and over are set when the level lies outside the range's ends.
[[nodiscard]] QByteArray levelBytes(int tenths, int rangeCode, bool batteryLow);

// Big-endian unsigned numbers.
void appendBig16(QByteArray& out, quint32 value);
void appendBig24(QByteArray& out, quint32 value);

}  // namespace lp::sim
