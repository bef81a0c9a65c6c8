#include "link/meter_decode.h"

#include <array>

namespace lp::link {
namespace {

// The numeric value of the leading decimal digits: "53" -> 53, "5A" -> 5, "A5" -> 0.
int leadingDigits(QStringView text) {
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            break;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

constexpr std::array<RangeEnds, 8> kRanges{{
    {30, 80},
    {40, 90},
    {50, 100},
    {60, 110},
    {70, 120},
    {80, 130},
    {30, 130},
    {0, 0},
}};

}  // namespace

RangeEnds rangeOfCode(int code) {
    return kRanges[static_cast<size_t>(code & 7)];
}

void decodeRange(Reading& reading, int value) {
    const RangeEnds r = rangeOfCode(value % 8);
    reading.rangeLow = r.low;
    reading.rangeHigh = r.high;
    reading.meterRecording = ((value >> 3) & 1) != 0;
    reading.memoryFull = ((value >> 4) & 1) != 0;
    reading.maxHold = ((value >> 5) & 1) != 0;
    reading.weightingA = ((value >> 6) & 1) != 0;
    reading.slowResponse = ((value >> 7) & 1) != 0;
}

void decodeStatus(Reading& reading, int value) {
    reading.hundredFlag = ((value >> 4) & 1) != 0;
    reading.batteryLow = ((value >> 5) & 1) != 0;
    reading.underRange = ((value >> 6) & 1) != 0;
    reading.overRange = ((value >> 7) & 1) != 0;
}

void decodeLevel(Reading& reading, QStringView digits) {
    const double tens = leadingDigits(digits.mid(1, 1)) * 10.0;
    const double rest = leadingDigits(digits.mid(2, 2)) * 0.1;
    const double level = reading.hundredFlag ? (tens + 100.0) + rest : rest + tens;
    reading.level = static_cast<float>(level);
}

QString levelDigits(quint8 statusByte, quint8 digitsByte) {
    return QStringLiteral("%1%2")
        .arg(statusByte, 2, 16, QLatin1Char('0'))
        .arg(digitsByte, 2, 16, QLatin1Char('0'))
        .toUpper();
}

void decodeLiveFrame(Reading& reading, const QByteArray& frame) {
    if (frame.size() < 4) {
        return;
    }
    const auto b1 = static_cast<quint8>(frame[1]);
    const auto b2 = static_cast<quint8>(frame[2]);
    const auto b3 = static_cast<quint8>(frame[3]);
    decodeRange(reading, b1);
    decodeStatus(reading, b2);
    decodeLevel(reading, levelDigits(b2, b3));
}

}  // namespace lp::link
