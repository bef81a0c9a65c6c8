#include "memory/memory_status.h"

#include "memory/memory_text.h"

namespace lp::memory {

qint64 capacityOfCode(int sizeCode) {
    return sizeCode >= 1 && sizeCode <= 8 ? qint64{16384} * sizeCode : 0;
}

std::optional<MemoryStatusInfo> decodeMemoryStatus(const QByteArray& reply) {
    if (reply.size() < kStatusReplySize) {
        return std::nullopt;
    }
    MemoryStatusInfo info;
    info.idCodeValue = static_cast<quint16>(big16(reply, 0));
    info.sizeCode = byteAt(reply, 3);
    info.capacityBytes = capacityOfCode(info.sizeCode);
    info.setCount = byteAt(reply, 4);
    const quint32 used = big24(reply, 5);
    info.usedMemory = used == kEmptyMemoryMark ? 0 : used;
    info.samplingSeconds = static_cast<quint16>(big16(reply, 8));

    info.memorySize = QString::number(info.capacityBytes / 1024) + QStringLiteral(" K");
    // M - U div 2 over 1024 is a multiple of 1/1024, never halfway between two tenths,
    // so any rounding to one decimal gives the same text.
    const double remainingK =
        static_cast<double>(info.capacityBytes - qint64{info.usedMemory / 2}) / 1024.0;
    info.remaining = QString::number(remainingK, 'f', 1) + QStringLiteral(" K");
    info.idCode = QString::number(info.idCodeValue);
    info.sampling = QString::number(info.samplingSeconds) + QStringLiteral(" sec");
    info.noOfSet = QString::number(info.setCount);
    return info;
}

}  // namespace lp::memory
