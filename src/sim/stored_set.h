// One recording run kept in the simulated meter's memory, and its bytes as the meter
// sends them: a 12-byte header, then 2 bytes per record.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <functional>

namespace lp::sim {

inline constexpr int kSetHeaderSize = 12;
inline constexpr int kRecordSize = 2;

struct StoredSet {
    QDateTime start;          // written as BCD yy mm dd hh nn ss in the set header
    quint8 functionByte = 0;  // header byte 7: bits 0-2 range code, bit 6 weighting (1 = A)
    quint16 intervalSec = 1;  // header bytes 8-9, big-endian
    QByteArray records;       // 2 bytes per record: flags+tens, units+tenths (BCD)
    QByteArray header;        // if not empty, used as the 12 header bytes verbatim (e.g. an erased
                              // memory: 0xFF...)

    [[nodiscard]] int recordCount() const { return static_cast<int>(records.size() / kRecordSize); }
    // Bytes the set takes in the meter's memory: 12 + 2N.
    [[nodiscard]] qint64 byteSize() const { return kSetHeaderSize + records.size(); }
};

// The 12 header bytes: start (BCD), function byte, interval, and the record count
// (24-bit) in the last three bytes; or `header` itself, padded with 0xFF to 12 bytes.
[[nodiscard]] QByteArray setHeader(const StoredSet& set);
// Header followed by the records: what "K" and the "Z" blocks deliver, in order.
[[nodiscard]] QByteArray setImage(const StoredSet& set);

// A set of `recordCount` records. Its levels sweep from 5 dB below the range to 5 dB above
// it (so under and over range and, on the high ranges, the hundreds flag all occur).
[[nodiscard]] StoredSet makeSet(QDateTime start, int rangeCode, bool weightingA,
                                quint16 intervalSec, int recordCount);
// The same with the level of record k (1-based) given in dB.
[[nodiscard]] StoredSet makeSet(QDateTime start, int rangeCode, bool weightingA,
                                quint16 intervalSec, int recordCount,
                                const std::function<double(int k)>& levelOf);

// The header's function byte for a range code and weighting.
[[nodiscard]] quint8 functionByteOf(int rangeCode, bool weightingA);

}  // namespace lp::sim
