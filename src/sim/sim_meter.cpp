#include "sim/sim_meter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/sim_encode.h"

namespace lp::sim {
namespace {

constexpr quint32 kEmptyMemoryMark = 0x000303;  // "nothing stored" in the status reply
constexpr char kFrameStart = 0x02;              // frame bytes 0 and 4: not read by the PC
constexpr char kFrameEnd = 0x03;

// Argument bytes that follow a command letter.
int argumentCount(char c) {
    switch (c) {
        case 'D':
            return 6;
        case 'X':
        case 'W':
            return 2;
        case 'K':
            return 1;
        default:
            return 0;
    }
}

}  // namespace

SimMeter::SimMeter() = default;

QByteArray SimMeter::receive(const QByteArray& fromPc, const QDateTime& now, qint64 elapsedMs) {
    QByteArray out;
    if (fault_ == Fault::SwitchedOff) {
        return out;
    }
    advanceTo(elapsedMs);
    for (const char c : fromPc) {
        if (pending_ != 0) {
            args_.append(c);
            if (args_.size() == pendingCount_) {
                argumentsComplete(now, out);
            }
            continue;
        }
        if (const int n = argumentCount(c); n > 0) {
            pending_ = c;
            pendingCount_ = n;
            args_.clear();
            continue;
        }
        command(c, now, elapsedMs, out);
    }
    return out;
}

void SimMeter::command(char c, const QDateTime& now, qint64 elapsedMs, QByteArray& out) {
    switch (c) {
        case ' ':
            if (maxHold) {
                heldTenths_ = std::max(heldTenths_, levelTenths(levelAt(elapsedMs)));
            }
            answer(out, liveFrame(elapsedMs));
            break;
        case 'A':
            weightingA = !weightingA;
            break;
        case 'F':
            slow = !slow;
            break;
        case 'M':
            maxHold = !maxHold;
            heldTenths_ = maxHold ? levelTenths(levelAt(elapsedMs)) : -1;
            break;
        case 'U':
            stepRange(+1);
            break;
        case 'P':
            stepRange(-1);
            break;
        case 'E':
            maxHold = false;
            heldTenths_ = -1;
            break;
        case 'S':
            startRecording(now, elapsedMs);
            break;
        case 'T':
            recording = false;
            runActive_ = false;
            break;
        case 'Y':
            answer(out, statusReply());
            break;
        case 'C':
            answer(out, bcdDateTime(meterClock(now)));
            break;
        case 'I':
            answer(out, setTableReply());
            break;
        case 'Z':
            answer(out, nextBlock());
            break;
        default:
            break;  // not a command of this meter
    }
}

void SimMeter::argumentsComplete(const QDateTime& now, QByteArray& out) {
    const char c = pending_;
    pending_ = 0;
    const auto arg = [this](int i) { return i < args_.size() ? static_cast<quint8>(args_[i]) : 0; };
    const int b0 = arg(0);
    const int b1 = arg(1);
    switch (c) {
        case 'D':
            if (const QDateTime set = dateTimeFromBcd(args_); set.isValid()) {
                clockOffsetMs_ = now.msecsTo(set);
            }
            break;
        case 'X':
            idCode = static_cast<quint16>(b0 * 256 + b1);
            break;
        case 'W':
            if (b0 * 256 + b1 > 0) {
                intervalSec = static_cast<quint16>(b0 * 256 + b1);
            }
            break;
        case 'K':
            answer(out, startDownload(b0));
            break;
        default:
            break;
    }
    args_.clear();
}

void SimMeter::answer(QByteArray& out, const QByteArray& reply) const {
    if (fault_ == Fault::WrongLength) {
        out.append(reply.left(std::max<qsizetype>(0, reply.size() - 1)));
    } else {
        out.append(reply);
    }
}

void SimMeter::stepRange(int delta) {
    rangeCode = std::clamp(rangeCode + delta, 0, 6);
}

void SimMeter::startRecording(const QDateTime& now, qint64 elapsedMs) {
    if (recording && runActive_) {
        return;
    }
    const qint64 free = capacityBytes() - storedBytes();
    if (static_cast<int>(sets_.size()) >= kMaxSets || free < kSetHeaderSize + kRecordSize) {
        memoryFull = true;
        recording = false;
        runActive_ = false;
        return;
    }
    const QDateTime clock = meterClock(now);
    StoredSet run;
    run.start = clock.addMSecs(-clock.time().msec());
    run.functionByte = functionByteOf(rangeCode, weightingA);
    run.intervalSec = intervalSec;
    sets_.push_back(std::move(run));
    runIndex_ = sets_.size() - 1;
    runStartMs_ = elapsedMs;
    runActive_ = true;
    recording = true;
    advanceTo(elapsedMs);
}

void SimMeter::advanceTo(qint64 elapsedMs) {
    if (!runActive_) {
        return;
    }
    if (!recording || runIndex_ >= sets_.size()) {
        runActive_ = false;
        return;
    }
    StoredSet& run = sets_[runIndex_];
    const qint64 stepMs = qint64(std::max<quint16>(run.intervalSec, 1)) * 1000;
    qint64 due = elapsedMs < runStartMs_ ? 1 : (elapsedMs - runStartMs_) / stepMs + 1;
    const qint64 others = storedBytes() - run.byteSize();
    const qint64 room = std::max<qint64>(0, (capacityBytes() - others - kSetHeaderSize) / 2);
    const bool full = due >= room;
    due = std::min(due, room);
    const int code = run.functionByte & 7;
    for (qint64 k = run.recordCount() + 1; k <= due; ++k) {
        const int tenths = levelTenths(levelAt(runStartMs_ + (k - 1) * stepMs));
        run.records.append(levelBytes(tenths, code, batteryLow));
    }
    if (full) {
        recording = false;
        runActive_ = false;
        memoryFull = true;
    }
}

void SimMeter::addSet(StoredSet s) {
    sets_.push_back(std::move(s));
}

QDateTime SimMeter::meterClock(const QDateTime& now) const {
    return now.addMSecs(clockOffsetMs_);
}

qint64 SimMeter::capacityBytes() const {
    return sizeCode >= 1 && sizeCode <= 8 ? 16384LL * sizeCode : 0;
}

qint64 SimMeter::storedBytes() const {
    qint64 sum = 0;
    for (const StoredSet& s : sets_) {
        sum += s.byteSize();
    }
    return sum;
}

quint32 SimMeter::usedMemory() const {
    return sets_.empty() ? kEmptyMemoryMark : static_cast<quint32>(storedBytes() & 0xFFFFFF);
}

QByteArray SimMeter::statusReply() const {
    QByteArray r;
    appendBig16(r, idCode);
    r.append('\0');
    r.append(static_cast<char>(sizeCode));
    r.append(static_cast<char>(std::min<size_t>(sets_.size(), kMaxSets)));
    appendBig24(r, usedMemory());
    appendBig16(r, intervalSec);
    return r;
}

QByteArray SimMeter::setTableReply() const {
    const size_t count = std::min<size_t>(sets_.size(), kMaxSets);
    QByteArray r;
    r.append(static_cast<char>(count));
    for (size_t i = 0; i < count; ++i) {
        r.append(setHeader(sets_[i]).left(9));
        appendBig24(r, static_cast<quint32>(sets_[i].recordCount()));
    }
    return r;
}

QByteArray SimMeter::startDownload(int setNumber) {
    download_.clear();
    downloadPos_ = 0;
    if (setNumber < 1 || setNumber > static_cast<int>(sets_.size())) {
        return {};
    }
    download_ = setImage(sets_[static_cast<size_t>(setNumber - 1)]);
    // The first part is what is left over after whole blocks; the blocks follow.
    downloadPos_ = download_.size() % kBlockSize;
    return download_.left(downloadPos_);
}

QByteArray SimMeter::nextBlock() {
    if (downloadPos_ >= download_.size()) {
        return {};
    }
    const QByteArray block = download_.mid(downloadPos_, kBlockSize);
    downloadPos_ += block.size();
    return block;
}

double SimMeter::levelAt(qint64 elapsedMs) const {
    if (fixedLevel_) {
        return *fixedLevel_;
    }
    // Three slow swells, like traffic passing a quiet office: about 48 .. 76 dB,
    // never faster than 0.8 dB per 150 ms poll.
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    const double t = static_cast<double>(elapsedMs) / 1000.0;
    const double level = 62.0 + 9.0 * std::sin(kTwoPi * t / 47.0) +
                         4.0 * std::sin(kTwoPi * t / 13.0 + 1.0) +
                         1.0 * std::sin(kTwoPi * t / 3.1 + 2.0);
    return std::round(level * 10.0) / 10.0;
}

QByteArray SimMeter::liveFrame(qint64 elapsedMs) const {
    int tenths = levelTenths(levelAt(elapsedMs));
    if (maxHold) {
        tenths = std::max(tenths, heldTenths_);
    }
    int status = rangeCode & 7;
    status |= recording ? 0x08 : 0;
    status |= memoryFull ? 0x10 : 0;
    status |= maxHold ? 0x20 : 0;
    status |= weightingA ? 0x40 : 0;
    status |= slow ? 0x80 : 0;
    QByteArray frame;
    frame.append(kFrameStart);
    frame.append(static_cast<char>(status));
    frame.append(levelBytes(tenths, rangeCode, batteryLow));
    frame.append(kFrameEnd);
    return frame;
}

}  // namespace lp::sim
