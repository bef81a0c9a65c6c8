// Byte images of meter replies for the memory tests: set headers, records, set tables.
#pragma once

#include <QByteArray>
#include <initializer_list>
#include <utility>

namespace lp::test {

inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

// A set: six start bytes (BCD), the function byte, the interval, three unread bytes,
// then the records (two bytes each).
inline QByteArray setImage(const QByteArray& start, int function, int interval,
                           const QByteArray& records) {
    QByteArray out = start;
    out.append(static_cast<char>(function));
    out.append(static_cast<char>(interval >> 8));
    out.append(static_cast<char>(interval & 0xFF));
    out.append(QByteArray(3, '\0'));
    out.append(records);
    return out;
}

// `n` records of 65.3 dB.
inline QByteArray plainRecords(int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i) {
        out.append("\x06\x53", 2);
    }
    return out;
}

// A set table entry: start, three unread bytes, 24-bit record count.
inline QByteArray tableEntry(const QByteArray& start, int records) {
    QByteArray out = start;
    out.append(QByteArray(3, '\0'));
    out.append(static_cast<char>(records >> 16));
    out.append(static_cast<char>((records >> 8) & 0xFF));
    out.append(static_cast<char>(records & 0xFF));
    return out;
}

}  // namespace lp::test
