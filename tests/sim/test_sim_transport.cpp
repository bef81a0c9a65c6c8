// The in-process simulated meter on a virtual clock: latency, 9600 baud pacing, and
// replies queued on the line. (The panel and memory suites run the program against it.)
#include <QSignalSpy>
#include <QTest>

#include "platform/virtual_clock.h"
#include "sim/sim_transport.h"

using namespace lp;

class TestSimTransport : public QObject {
    Q_OBJECT
private slots:
    void replyArrivesAfterLatency() {
        platform::VirtualClock clock;
        sim::SimMeter meter;
        meter.setFixedLevel(65.3);
        sim::SimTransport port(meter, clock, false, 15);
        QSignalSpy ready(&port, &platform::Transport::readyRead);
        port.write(" ");
        clock.advance(14);
        QCOMPARE(port.bytesAvailable(), 0);
        clock.advance(1);
        QCOMPARE(ready.size(), 1);
        QCOMPARE(port.readAll(), meter.liveFrame(15));
        QCOMPARE(port.bytesAvailable(), 0);
        port.write("A");  // no reply
        clock.advance(100);
        QCOMPARE(ready.size(), 1);
    }

    // A 2048-byte block at 960 bytes a second takes 2134 ms and arrives in pieces.
    void pacedBlockTakesItsLineTime() {
        platform::VirtualClock clock;
        sim::SimMeter meter;
        meter.addSet(sim::makeSet(clock.now(), 0, true, 1, 1024));
        sim::SimTransport port(meter, clock, true, 15);
        QSignalSpy ready(&port, &platform::Transport::readyRead);
        port.write("K\x01");
        clock.advance(40);
        QCOMPARE(port.readAll().size(), 12);
        ready.clear();
        port.write("Z");
        clock.advance(15 + 2000);
        QVERIFY(port.bytesAvailable() > 1900 && port.bytesAvailable() < 2048);
        clock.advance(133);
        QVERIFY(port.bytesAvailable() < 2048);
        clock.advance(1 + sim::SimTransport::kPieceMs);
        QCOMPARE(port.bytesAvailable(), 2048);
        QCOMPARE(port.bytesInFlight(), 0);
        QVERIFY(ready.size() > 100);  // pieces, not one lump
        QCOMPARE(port.readAll(), sim::setImage(meter.sets()[0]).mid(12));
    }

    // Replies to writes made in a row follow each other on the line, in order.
    void pacedRepliesQueue() {
        platform::VirtualClock clock;
        sim::SimMeter meter;
        meter.setFixedLevel(65.3);
        sim::SimTransport port(meter, clock, true, 15);
        port.write(" ");
        port.write("Y");
        // 5 + 10 bytes take 6 + 11 ms of line time after the latency.
        clock.advance(15 + 6 + 10);
        QVERIFY(port.bytesAvailable() >= 5 && port.bytesAvailable() < 15);
        clock.advance(11 + 10);
        QCOMPARE(port.bytesAvailable(), 15);
        const QByteArray got = port.readAll();
        QCOMPARE(got.left(5), meter.liveFrame(0));
        QCOMPARE(got.mid(5, 2), QByteArray("\x00\x01", 2));
    }
};

QTEST_GUILESS_MAIN(TestSimTransport)
#include "test_sim_transport.moc"
