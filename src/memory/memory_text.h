// Small text pieces the meter-memory texts are built from: BCD bytes written as their
// two hexadecimal digits, big-endian numbers, and counts with thousands separators.
#pragma once

#include <QByteArray>
#include <QString>

namespace lp::memory {

// A byte as exactly two upper-case hexadecimal digits: 0x09 -> "09", 0xFF -> "FF".
// For a BCD byte these are its two decimal digits.
[[nodiscard]] QString hexByte(quint8 byte);

// The byte at `index` (0-based) of `bytes`, as an unsigned value.
[[nodiscard]] inline quint8 byteAt(const QByteArray& bytes, qsizetype index) {
    return static_cast<quint8>(bytes[index]);
}

// Unsigned big-endian numbers starting at `index` (0-based).
[[nodiscard]] quint32 big16(const QByteArray& bytes, qsizetype index);
[[nodiscard]] quint32 big24(const QByteArray& bytes, qsizetype index);

// A count for messages: 1536 -> "1,536".
[[nodiscard]] QString groupedCount(qint64 value);

}  // namespace lp::memory
