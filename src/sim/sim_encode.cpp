#include "sim/sim_encode.h"

#include <algorithm>
#include <cmath>

#include "link/bcd.h"
#include "link/meter_decode.h"

namespace lp::sim {

QByteArray bcdDateTime(const QDateTime& when) {
    return link::bcdDateTime(when);
}

QDateTime dateTimeFromBcd(const QByteArray& six) {
    if (six.size() < 6) {
        return {};
    }
    int v[6];
    for (int i = 0; i < 6; ++i) {
        const auto value = link::fromBcd(static_cast<quint8>(six[i]));
        if (!value) {
            return {};
        }
        v[i] = *value;
    }
    const QDate date(2000 + v[0], v[1], v[2]);
    const QTime time(v[3], v[4], v[5]);
    if (!date.isValid() || !time.isValid()) {
        return {};
    }
    return QDateTime(date, time);
}

int levelTenths(double dB) {
    if (!std::isfinite(dB)) {
        return 0;
    }
    return static_cast<int>(std::clamp(std::lround(dB * 10.0), 0L, 1999L));
}

QByteArray levelBytes(int tenths, int rangeCode, bool batteryLow) {
    const int t = std::clamp(tenths, 0, 1999);
    const link::RangeEnds range = link::rangeOfCode(rangeCode);
    const bool under = t < range.low * 10;
    const bool over = t > range.high * 10;
    const int hundreds = t / 1000;
    const int tens = (t / 100) % 10;
    const int units = (t / 10) % 10;
    const int tenth = t % 10;
    int first = tens;
    first |= hundreds ? 0x10 : 0;
    first |= batteryLow ? 0x20 : 0;
    first |= under ? 0x40 : 0;
    first |= over ? 0x80 : 0;
    QByteArray out;
    out.append(static_cast<char>(first));
    out.append(static_cast<char>(units * 16 + tenth));
    return out;
}

void appendBig16(QByteArray& out, quint32 value) {
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void appendBig24(QByteArray& out, quint32 value) {
    out.append(static_cast<char>((value >> 16) & 0xFF));
    appendBig16(out, value);
}

}  // namespace lp::sim
