// The live cycle on a virtual clock, linked to a scripted meter that answers every
// space with the frame the test sets.
#pragma once

#include "fake_transport.h"
#include "files.h"
#include "link/live_poller.h"
#include "live/live_cycle.h"
#include "platform/virtual_clock.h"

namespace lp::test {

// Bytes 1 to 3 of a live frame.
inline QByteArray liveFrame(quint8 rangeAndFlags, quint8 status, quint8 digits) {
    const char bytes[] = {0x00, char(rangeAndFlags), char(status), char(digits), 0x00};
    return QByteArray(bytes, 5);
}

inline const QByteArray kRecordHeader = "No.s\tDate Time\tdB\t\r\n";

struct LiveRig {
    platform::VirtualClock clock;  // starts at 2009/06/01 14:05:09
    FakeTransport port{clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    QByteArray frame = liveFrame(0x40, 0x06, 0x53);  // A, FAST, 30..80, 65.3 dB
    bool meterOn = true;
    live::LiveCycle cycle{link, poller, clock, {QStringLiteral("COM1"), QStringLiteral("Com1")}};

    LiveRig() {
        port.setResponder(
            [this](const QByteArray& w) { return meterOn && w == " " ? frame : QByteArray(); });
    }

    // The meter answers with `f` from now; long enough for a poll to bring it in.
    void meterShows(const QByteArray& f) {
        frame = f;
        clock.advance(700);
    }
    // The bytes sent to the meter other than the live polls' spaces.
    QByteArray commands() const {
        QByteArray w = port.written;
        return w.replace(' ', QByteArray());
    }
};

}  // namespace lp::test
