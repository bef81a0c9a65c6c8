// The meter's memory status ("Y", 10 bytes) turned into the texts of the memory
// window: capacity, remaining memory, identification code, sampling interval and
// the number of stored sets.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace lp::memory {

inline constexpr int kStatusReplySize = 10;
// The used-memory value the meter reports for an empty memory (bytes 00 03 03).
inline constexpr quint32 kEmptyMemoryMark = 771;

struct MemoryStatusInfo {
    // Texts for the window, as shown.
    QString memorySize;  // memorySizeLabel: "128 K"
    QString remaining;   // remainingLabel: "127.5 K"
    QString idCode;      // idCodeBox: "1234"
    QString sampling;    // samplingBox: "2 sec"
    QString noOfSet;     // setCountLabel: "3"

    // The numbers behind them.
    quint16 idCodeValue = 0;
    quint16 samplingSeconds = 0;
    int sizeCode = 0;
    qint64 capacityBytes = 0;  // 16384 x size code 1..8, else 0
    quint32 usedMemory = 0;    // 771 already taken as 0
    int setCount = 0;          // sets stored; the set table holds this many entries
};

// Capacity in bytes of a memory size code: 1..8 -> 16384 x code; any other code 0.
[[nodiscard]] qint64 capacityOfCode(int sizeCode);

// Decodes a status reply; nullopt when it is shorter than 10 bytes (surplus bytes
// past the tenth are not looked at).
[[nodiscard]] std::optional<MemoryStatusInfo> decodeMemoryStatus(const QByteArray& reply);

}  // namespace lp::memory
