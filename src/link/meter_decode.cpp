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

void DecodeRange(Reading& reading, int value) {
    const RangeEnds r = rangeOfCode(value % 8);
    reading.RangeLow = r.low;
    reading.RangeHigh = r.high;
    reading.MeterRecording = static_cast<qint16>((value >> 3) & 1);
    reading.MemoryFull = static_cast<qint16>((value >> 4) & 1);
    reading.MaxHold = static_cast<qint16>((value >> 5) & 1);
    reading.WeightingA = static_cast<qint16>((value >> 6) & 1);
    reading.SlowResponse = static_cast<qint16>((value >> 7) & 1);
}

void DecodeStatus(Reading& reading, int value) {
    reading.HundredFlag = static_cast<qint16>((value >> 4) & 1);
    reading.BatteryLow = static_cast<qint16>((value >> 5) & 1);
    reading.UnderRange = static_cast<qint16>((value >> 6) & 1);
    reading.OverRange = static_cast<qint16>((value >> 7) & 1);
}

void DecodeLevel(Reading& reading, QStringView digits) {
    const double tens = leadingDigits(digits.mid(1, 1)) * 10.0;
    const double rest = leadingDigits(digits.mid(2, 2)) * 0.1;
    const double level = reading.HundredFlag != 0 ? (tens + 100.0) + rest : rest + tens;
    reading.Level = static_cast<float>(level);
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
    DecodeRange(reading, b1);
    DecodeStatus(reading, b2);
    DecodeLevel(reading, levelDigits(b2, b3));
}

}  // namespace lp::link
