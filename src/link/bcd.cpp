// BCD conversions shared by the clock set, the memory's time stamps and the simulator.
#include "link/bcd.h"

#include <algorithm>

namespace lp::link {

quint8 toBcd(int value) {
    const int v = std::clamp(value, 0, 99);
    return static_cast<quint8>((v / 10) * 16 + v % 10);
}

std::optional<int> fromBcd(quint8 byte) {
    const int high = byte >> 4;
    const int low = byte & 15;
    if (high > 9 || low > 9) {
        return std::nullopt;
    }
    return high * 10 + low;
}

QByteArray bcdDateTime(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    QByteArray out;
    for (const int v : {d.year() % 100, d.month(), d.day(), t.hour(), t.minute(), t.second()}) {
        out.append(static_cast<char>(toBcd(v)));
    }
    return out;
}

}  // namespace lp::link
