// The live poll and the key exchanges on a virtual clock: attempts, "No COM"
// recovery, surplus bytes, one exchange at a time, the bytes each key and the clock
// set send.
#include <QSignalSpy>
#include <QTest>

#include "fake_transport.h"
#include "link/key_commands.h"
#include "link/live_poller.h"
#include "platform/virtual_clock.h"

using namespace lp;
using link::LinkState;

namespace {
const QByteArray kFrame("\x00\x42\x06\x53\x00", 5);
}

class TestLiveLink : public QObject {
    Q_OBJECT
private slots:
    void pollTakesOneAttemptWhenMeterAnswers() {
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        port.setResponder([](const QByteArray& w) { return w == " " ? kFrame : QByteArray(); });
        link::MeterLink meter(port, clock);
        link::LivePoller poller(meter);
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        QVERIFY(poller.tick());
        QVERIFY(!poller.tick());  // a poll is running: no second poll
        clock.advance(199);
        QCOMPARE(frames.size(), 0);
        clock.advance(1);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0][0].toByteArray(), kFrame);
        QCOMPARE(port.written, QByteArray(" "));
        QVERIFY(!meter.busy());
    }

    void silentMeterGivesNoDataAfterTenAttemptsThenRecovers() {
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        bool on = false;
        port.setResponder(
            [&](const QByteArray& w) { return on && w == " " ? kFrame : QByteArray(); });
        link::MeterLink meter(port, clock);
        link::LivePoller poller(meter);
        poller.setOpened();
        QSignalSpy states(&poller, &link::LivePoller::stateChanged);
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        poller.tick();
        clock.advance(1999);
        QCOMPARE(states.size(), 0);
        clock.advance(1);
        QCOMPARE(states.size(), 1);
        QCOMPARE(states[0][0].value<LinkState>(), LinkState::NoData);
        QCOMPARE(port.written, QByteArray(10, ' '));
        // Recovery: one attempt per poll, without limit.
        for (int i = 0; i < 5; ++i) {
            QVERIFY(poller.tick());
            clock.advance(200);
        }
        QCOMPARE(poller.state(), LinkState::NoData);
        on = true;
        poller.tick();
        clock.advance(200);
        QCOMPARE(poller.state(), LinkState::Linked);
        QCOMPARE(frames.size(), 1);
    }

    void surplusOrShortRepliesAreNeverFrames() {
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        int n = 0;
        port.setResponder([&](const QByteArray&) {
            ++n;
            if (n == 1)
                return kFrame + QByteArray("\x01", 1);  // 6 bytes
            if (n == 2)
                return kFrame.left(4);  // 4 bytes
            return kFrame;
        });
        link::MeterLink meter(port, clock);
        link::LivePoller poller(meter);
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        poller.tick();
        clock.advance(600);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0][0].toByteArray(), kFrame);
        QCOMPARE(port.written, QByteArray(3, ' '));
    }

    // A key clicked while a poll waits runs after that poll, which keeps its reply.
    void keyDuringPollWaitsItsTurn() {
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        port.setResponder([](const QByteArray& w) { return w == " " ? kFrame : QByteArray(); });
        link::MeterLink meter(port, clock);
        link::LivePoller poller(meter);
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        poller.tick();
        clock.advance(100);
        link::pressKey(meter, link::MeterKey::AC);
        QCOMPARE(port.written, QByteArray(" "));
        clock.advance(100);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(port.written, QByteArray(" A"));
        QVERIFY(!poller.tick());  // the key's 0.1 s wait is still running
        clock.advance(100);
        QVERIFY(!meter.busy());
        QVERIFY(poller.tick());
    }

    void keysSendTheirLetters_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("durationMs");
        QTest::newRow("A/C") << int(link::MeterKey::AC) << QByteArray("A") << 100;
        QTest::newRow("F/S") << int(link::MeterKey::FS) << QByteArray("F") << 100;
        QTest::newRow("MAX") << int(link::MeterKey::Max) << QByteArray("M") << 100;
        QTest::newRow("up") << int(link::MeterKey::RangeUp) << QByteArray("U") << 100;
        QTest::newRow("down") << int(link::MeterKey::RangeDown) << QByteArray("P") << 100;
        QTest::newRow("RESET") << int(link::MeterKey::Reset) << QByteArray("EEE") << 600;
        QTest::newRow("REC start") << int(link::MeterKey::RecStart) << QByteArray("S") << 100;
        QTest::newRow("REC stop") << int(link::MeterKey::RecStop) << QByteArray("T") << 100;
    }
    void keysSendTheirLetters() {
        QFETCH(int, key);
        QFETCH(QByteArray, bytes);
        QFETCH(int, durationMs);
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        link::MeterLink meter(port, clock);
        port.inject("junk");
        link::pressKey(meter, link::MeterKey(key));
        clock.advance(durationMs - 1);
        QVERIFY(meter.busy());
        clock.advance(1);
        QVERIFY(!meter.busy());
        QCOMPARE(port.written, bytes);
        // The single keys throw away waiting input first; RESET and REC do not.
        const bool discards = bytes.size() == 1 && bytes != "S" && bytes != "T";
        QCOMPARE(port.bytesAvailable(), discards ? 0 : 4);
    }

    // The PC time goes out as it is when the bytes are sent, after a poll that ran first;
    // a lost port refuses the clock set and says so.
    void clockSetSendsTheTimeOfSending() {
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        link::MeterLink meter(port, clock);
        link::LivePoller poller(meter);
        clock.setNow(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58)));
        poller.tick();
        QList<bool> done;
        link::setMeterClock(meter, [&](bool sent) { done << sent; });
        clock.advance(2000 + 199);
        QCOMPARE(port.written, QByteArray(10, ' ') + "D");
        QVERIFY(done.isEmpty());
        clock.advance(1);
        QCOMPARE(done, QList<bool>{true});
        QCOMPARE(port.written.mid(11), QByteArray("\x00\x01\x01\x00\x00\x00", 6));
        port.fail(QStringLiteral("gone"));
        link::setMeterClock(meter, [&](bool sent) { done << sent; });
        QCOMPARE(done, (QList<bool>{true, false}));
    }

    // The adapter comes back: the link talks through the new port and the poller
    // goes from "No COM" back to linked at the first frame.
    void replacedPortCarriesOn() {
        platform::VirtualClock clock;
        test::FakeTransport lost(clock);
        test::FakeTransport back(clock);
        back.setResponder([](const QByteArray& w) { return w == " " ? kFrame : QByteArray(); });
        link::MeterLink meter(lost, clock);
        link::LivePoller poller(meter);
        poller.setOpened();
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        lost.fail(QStringLiteral("unplugged"));
        QVERIFY(meter.portLost());
        QCOMPARE(poller.state(), LinkState::NoData);
        poller.tick();
        clock.advance(400);
        QCOMPARE(lost.written, QByteArray());
        meter.replacePort(back);
        QVERIFY(!meter.portLost());
        poller.tick();
        clock.advance(200);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(poller.state(), LinkState::Linked);
        lost.inject("stray");  // the old port no longer reaches the link
        QCOMPARE(back.written, QByteArray(" "));
    }

    void portFailureStopsTheExchange() {
        platform::VirtualClock clock;
        test::FakeTransport port(clock);
        link::MeterLink meter(port, clock);
        QSignalSpy failed(&meter, &link::MeterLink::portFailed);
        link::pressKey(meter, link::MeterKey::Reset);
        port.fail(QStringLiteral("gone"));
        QCOMPARE(failed.size(), 1);
        QVERIFY(!meter.busy());
        clock.advance(1000);
        QCOMPARE(port.written, QByteArray("E"));
    }
};

QTEST_GUILESS_MAIN(TestLiveLink)
#include "test_live_link.moc"
