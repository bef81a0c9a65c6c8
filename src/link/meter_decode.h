// Decoders of the meter's status and level bytes, shared by the live frame and the
// stored records of a memory download. Pure: they only write Reading fields.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "link/reading.h"

namespace lp::link {

// The live frame is exactly this many bytes; bytes 0 and 4 carry nothing we read.
inline constexpr int kLiveFrameSize = 5;

// Byte 1 of a live frame (or the function byte of a stored set): range code and flags.
void decodeRange(Reading& reading, int value);
// Byte 2 of a live frame (or a record's first byte): hundreds, battery, under, over.
void decodeStatus(Reading& reading, int value);
// The four hexadecimal digits of bytes 2 and 3; uses the HundredFlag set just before.
void decodeLevel(Reading& reading, QStringView digits);

// Two bytes written as four upper-case hexadecimal digits, the first byte first: "0653".
[[nodiscard]] QString levelDigits(quint8 statusByte, quint8 digitsByte);

// Decodes a whole 5-byte live frame in the required order: range, status, level.
void decodeLiveFrame(Reading& reading, const QByteArray& frame);

// Range ends of a range code 0..7 (code 7 gives 0..0).
struct RangeEnds {
    qint16 low;
    qint16 high;
};
[[nodiscard]] RangeEnds rangeOfCode(int code);

}  // namespace lp::link
