// The simulated sound level meter: bytes from the PC in, the meter's answers out. It
// keeps the state a real meter shows (range, weighting, max hold, its own clock and
// logger, stored sets) and answers every command the program sends.
//
// Rules where a meter could go either way:
// - "U" and "P" step the range code up and down by one within 0..6 and stop at the ends
//   (0 = 30-80 dB ... 5 = 80-130 dB, 6 = the full 30-130 dB span).
// - "E" switches max hold off and forgets the held maximum, so pressing it three times
//   in a row (as the RESET button does) is the same as pressing it once.
// - "S" starts a new stored set at the meter's clock with the present range, weighting
//   and interval; it takes its first record at once and one more every interval. When
//   the memory (16 K x size code) or the 255 sets are used up, recording stops and the
//   memory-full flag goes on.
// - "Y" reports the used memory as the sum of 12 + 2N over all sets, or 00 03 03 when
//   there is no set (a sum of even numbers, so it can never be mistaken for 771).
// - "W" with an interval of 0 and "D" with bytes that are no date are ignored.
// - "I" answers the set count byte, then per set its header's first nine bytes (start,
//   function byte, interval) and the 24-bit record count.
// - "K" with a set number that does not exist answers nothing; "Z" past the end of the
//   set answers nothing.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>
#include <vector>

#include "sim/stored_set.h"

namespace lp::sim {

enum class Fault {
    None,
    SwitchedOff,  // no reply at all, no key has an effect
    WrongLength,  // every reply one byte short
};

class SimMeter {
public:
    static constexpr int kBlockSize = 2048;  // bytes per "Z" block
    static constexpr int kMaxSets = 255;

    SimMeter();

    // Bytes from the PC in, the bytes the meter answers out (in order). `now` is the PC's
    // wall clock (the meter clock is now + the offset set by "D"); `elapsedMs` is the
    // monotonic time that drives the level and the meter's own recording.
    [[nodiscard]] QByteArray receive(const QByteArray& fromPc, const QDateTime& now,
                                     qint64 elapsedMs);
    void setFault(Fault f) { fault_ = f; }
    [[nodiscard]] Fault fault() const { return fault_; }

    // Meter state, readable and settable by tests.
    int rangeCode = 0;
    bool weightingA = true, slow = false, maxHold = false, recording = false, memoryFull = false,
         batteryLow = false;
    quint16 idCode = 1;
    quint16 intervalSec = 2;
    int sizeCode = 8;  // 8 = 128 K

    void addSet(StoredSet s);
    [[nodiscard]] const std::vector<StoredSet>& sets() const { return sets_; }
    // Brings the set being recorded up to `elapsedMs` (receive() does this itself).
    void advanceTo(qint64 elapsedMs);

    [[nodiscard]] QDateTime meterClock(const QDateTime& now) const;
    // Memory size in bytes (16384 x size code; 0 for a code outside 1..8).
    [[nodiscard]] qint64 capacityBytes() const;
    // The used-memory value of the status reply.
    [[nodiscard]] quint32 usedMemory() const;

    // The level shown now: slowly varying around 62 dB, or the fixed level when set.
    void setFixedLevel(std::optional<double> dB) { fixedLevel_ = dB; }
    [[nodiscard]] double levelAt(qint64 elapsedMs) const;
    // The 5 bytes answered to a space (with max hold on, the held maximum).
    [[nodiscard]] QByteArray liveFrame(qint64 elapsedMs) const;

private:
    void command(char c, const QDateTime& now, qint64 elapsedMs, QByteArray& out);
    void argumentsComplete(const QDateTime& now, QByteArray& out);
    void answer(QByteArray& out, const QByteArray& reply) const;
    void startRecording(const QDateTime& now, qint64 elapsedMs);
    void stepRange(int delta);
    [[nodiscard]] QByteArray statusReply() const;
    [[nodiscard]] QByteArray setTableReply() const;
    [[nodiscard]] QByteArray startDownload(int setNumber);
    [[nodiscard]] QByteArray nextBlock();
    [[nodiscard]] qint64 storedBytes() const;

    Fault fault_ = Fault::None;
    std::vector<StoredSet> sets_;
    std::optional<double> fixedLevel_;
    qint64 clockOffsetMs_ = 0;
    int heldTenths_ = -1;

    // A command letter waiting for its argument bytes (they may come in later writes).
    char pending_ = 0;
    int pendingCount_ = 0;
    QByteArray args_;

    // The meter's own recording run: the set it fills and when it began.
    bool runActive_ = false;
    size_t runIndex_ = 0;
    qint64 runStartMs_ = 0;

    // The set being downloaded and how far "K" and "Z" got.
    QByteArray download_;
    qint64 downloadPos_ = 0;
};

}  // namespace lp::sim
