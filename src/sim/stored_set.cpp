#include "sim/stored_set.h"

#include "link/meter_decode.h"
#include "sim/sim_encode.h"

namespace lp::sim {

QByteArray setHeader(const StoredSet& set) {
    if (!set.header.isEmpty()) {
        QByteArray h = set.header.left(kSetHeaderSize);
        h.append(QByteArray(kSetHeaderSize - h.size(), '\xFF'));
        return h;
    }
    QByteArray h = bcdDateTime(set.start);
    h.append(static_cast<char>(set.functionByte));
    appendBig16(h, set.intervalSec);
    appendBig24(h, static_cast<quint32>(set.recordCount()));
    return h;
}

QByteArray setImage(const StoredSet& set) {
    return setHeader(set) + set.records;
}

quint8 functionByteOf(int rangeCode, bool weightingA) {
    return static_cast<quint8>((rangeCode & 7) | (weightingA ? 0x40 : 0));
}

StoredSet makeSet(QDateTime start, int rangeCode, bool weightingA, quint16 intervalSec,
                  int recordCount, const std::function<double(int k)>& levelOf) {
    StoredSet set;
    set.start = std::move(start);
    set.functionByte = functionByteOf(rangeCode, weightingA);
    set.intervalSec = intervalSec;
    set.records.reserve(recordCount * kRecordSize);
    for (int k = 1; k <= recordCount; ++k) {
        set.records.append(levelBytes(levelTenths(levelOf(k)), rangeCode, false));
    }
    return set;
}

StoredSet makeSet(QDateTime start, int rangeCode, bool weightingA, quint16 intervalSec,
                  int recordCount) {
    const link::RangeEnds range = link::rangeOfCode(rangeCode);
    const int lowTenths = (range.low - 5) * 10;
    const int spanTenths = (range.high - range.low + 10) * 10 + 1;
    return makeSet(std::move(start), rangeCode, weightingA, intervalSec, recordCount,
                   [=](int k) { return (lowTenths + ((k - 1) * 37) % spanTenths) / 10.0; });
}

}  // namespace lp::sim
