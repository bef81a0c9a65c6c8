// Byte images of meter replies, a scripted meter (FakeTransport) with the memory
// commands and the live poll on its link, and the simulated meter on its link.
#pragma once

#include <QSignalSpy>

#include "fake_transport.h"
#include "link/live_poller.h"
#include "memory/memory_commands.h"
#include "platform/virtual_clock.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

namespace lp::test {

inline QByteArray hex(const char* digits) {
    return QByteArray::fromHex(digits);
}

inline const QByteArray kStart = hex("09 03 15 14 05 09");  // 2009/03/15 14:05:09
inline const QByteArray kStatus = hex("04D2 00 08 03 000400 0002");
inline const QDateTime kSetStart(QDate(2009, 12, 31), QTime(23, 50, 0));

// A set: six start bytes (BCD), the function byte, the interval, three unread bytes,
// then the records (two bytes each).
inline QByteArray setImage(const QByteArray& start, int function, int interval,
                           const QByteArray& records) {
    QByteArray out = start;
    out.append(char(function)).append(char(interval >> 8)).append(char(interval & 0xFF));
    return out.append(QByteArray(3, '\0')).append(records);
}

// `n` records of 65.3 dB on range 6, A weighting, 2 s apart.
inline QByteArray setOf(int n) {
    return setImage(kStart, 0x46, 2, hex("0653").repeated(n));
}

// A set table entry: start, three unread bytes, 24-bit record count.
inline QByteArray tableEntry(const QByteArray& start, int records) {
    QByteArray out = start + QByteArray(3, '\0');
    return out.append(char(records >> 16)).append(char(records >> 8)).append(char(records));
}

struct Rig {
    platform::VirtualClock clock;
    FakeTransport port{clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    memory::MemoryCommands commands{link};
    QSignalSpy progress{&commands, &memory::MemoryCommands::progress};
    QSignalSpy failed{&commands, &memory::MemoryCommands::failed};
    QSignalSpy ended{&commands, &memory::MemoryCommands::downloadEnded};

    QStringList progressTexts() const {
        QStringList out;
        for (const auto& p : progress) {
            out << p[0].toString();
        }
        return out;
    }
    memory::CommandFailure failure(qsizetype i) const {
        return failed.at(i).at(0).value<memory::CommandFailure>();
    }
    // The line is free again and the live poll gets a frame.
    bool pollsResume() {
        port.setResponder([](const QByteArray&) { return QByteArray("\x00\x42\x06\x53\x00", 5); });
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        const bool free = !link.busy() && !commands.busy() && poller.tick();
        clock.advance(200);
        return free && frames.size() == 1;
    }
};

// The simulated meter behind an in-process transport, on a virtual clock.
struct SimRig {
    platform::VirtualClock clock;
    sim::SimMeter meter;
    sim::SimTransport port{meter, clock, false};
    link::MeterLink link{port, clock};

    // Runs virtual time until the link has nothing left to do.
    bool settle(qint64 maxMs = 60000) {
        return clock.advanceUntil([this] { return !link.busy(); }, maxMs);
    }
};

}  // namespace lp::test
