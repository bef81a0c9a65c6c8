// The meter link on a virtual clock: exchanges end once each, however they end; on top of
// it the live poll, the keys and the clock set.
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

// Sends "?" and takes whatever came 100 ms later as its reply.
class Probe final : public link::Exchange {
public:
    QString name() const override { return QStringLiteral("probe"); }
    QString progressNote() const override { return QStringLiteral("nothing came"); }

protected:
    void begin() override {
        send("?");
        wait(100, [this] {
            reply() = takeAll();
            finish();
        });
    }
};

struct Rig {
    platform::VirtualClock clock;
    test::FakeTransport port{clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    QSignalSpy frames{&poller, &link::LivePoller::frameReceived};
    QList<link::ExchangeEnd> ends;

    link::ExchangeId probe() {
        return link.submit(std::make_unique<Probe>(),
                           [this](const link::ExchangeEnd& end) { ends << end; });
    }
    // The meter answers each poll with a frame.
    void answerPolls(test::FakeTransport& to) {
        to.setResponder([](const QByteArray& w) { return w == " " ? kFrame : QByteArray(); });
    }
};

}  // namespace

class TestMeterLink : public QObject {
    Q_OBJECT
private slots:
    void finishedExchangeEndsWithItsBytes() {
        Rig r;
        r.port.setResponder([](const QByteArray&) { return QByteArray("ok"); });
        const link::ExchangeId first = r.probe();
        const link::ExchangeId second = r.probe();
        QVERIFY(r.link.pending(first) && r.link.pending(second));
        r.clock.advance(200);
        QCOMPARE(r.ends.size(), 2);
        QVERIFY(r.ends[0].ok && r.ends[0].started);
        QCOMPARE(r.ends[0].bytes, QByteArray("ok"));
        QCOMPARE(r.port.written, QByteArray("??"));  // one after the other
        QVERIFY(!r.link.pending(first) && !r.link.busy());
    }

    // Every way to stop ends each exchange once, with a reason that names it.
    void stoppedExchangesEndOnce_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("reasons");  // of the running, then the queued probe
        QTest::newRow("cancel running")
            << "cancel running" << QStringList{"The probe was cancelled (nothing came).", ""};
        QTest::newRow("cancel queued")
            << "cancel queued" << QStringList{"", "The probe was cancelled."};
        QTest::newRow("port fails") << "fail"
                                    << QStringList{"The probe stopped: unplugged (nothing came).",
                                                   "The probe could not run: unplugged."};
        QTest::newRow("port replaced")
            << "replace"
            << QStringList{"The probe stopped: the port was replaced (nothing came).",
                           "The probe could not run: the port was replaced."};
    }
    void stoppedExchangesEndOnce() {
        QFETCH(QString, how);
        QFETCH(QStringList, reasons);
        Rig r;
        test::FakeTransport other(r.clock);
        const link::ExchangeId running = r.probe();
        const link::ExchangeId queued = r.probe();
        if (how == "cancel running") {
            QVERIFY(r.link.cancel(running));
        } else if (how == "cancel queued") {
            QVERIFY(r.link.cancel(queued));
        } else if (how == "fail") {
            r.port.fail(QStringLiteral("unplugged"));
        } else {
            r.link.replacePort(other);
        }
        r.clock.advance(1000);
        QStringList told;
        for (const auto& end : r.ends) {
            if (!end.ok) {
                told << end.reason;
            }
        }
        reasons.removeAll(QString());
        QCOMPARE(told, reasons);
        QCOMPARE(r.ends.size(), 2);  // each exactly once, the other one finished
        QCOMPARE(r.ends[0].cancelled || r.ends[1].cancelled, how.startsWith("cancel"));
        QVERIFY(!r.link.busy());
        // Nothing of a stopped probe goes on: the running one sent its "?" only.
        QCOMPARE(r.port.written.count('?') + other.written.count('?'),
                 how == "cancel running" ? 2 : 1);
    }

    void lostPortRefusesAtOnce() {
        Rig r;
        r.port.fail(QStringLiteral("unplugged"));
        QVERIFY(r.link.portLost());
        const link::ExchangeId id = r.probe();
        QCOMPARE(r.ends.size(), 1);
        QVERIFY(!r.ends[0].ok && !r.ends[0].started);
        QCOMPARE(r.ends[0].reason,
                 QStringLiteral("The probe could not run: the port to the meter is closed."));
        QVERIFY(!r.link.pending(id));
        QCOMPARE(r.port.written, QByteArray());
    }

    // Recovery from "No COM" at the first frame: replacedPortCarriesOn.
    void silentMeterGivesNoDataAfterTenAttemptsThenPollsOnce() {
        Rig r;
        r.poller.setOpened();
        QSignalSpy states(&r.poller, &link::LivePoller::stateChanged);
        r.poller.tick();
        r.clock.advance(1999);
        QCOMPARE(states.size(), 0);
        r.clock.advance(1);
        QCOMPARE(states.size(), 1);
        QCOMPARE(states[0][0].value<LinkState>(), LinkState::NoData);
        QCOMPARE(r.port.written, QByteArray(10, ' '));
        // Recovery: one attempt per poll.
        QVERIFY(r.poller.tick());
        r.clock.advance(400);
        QCOMPARE(r.port.written, QByteArray(11, ' '));
        QCOMPARE(r.poller.state(), LinkState::NoData);
    }

    // Each attempt takes 0.2 s; a surplus or short reply is no frame and costs one.
    void pollRetriesUntilAFrameComes() {
        Rig r;
        QList<QByteArray> replies{kFrame + '\x01', kFrame.left(4), kFrame};
        r.port.setResponder([&](const QByteArray&) { return replies.takeFirst(); });
        QVERIFY(r.poller.tick());
        QVERIFY(!r.poller.tick());  // a poll is running: no second poll
        r.clock.advance(599);
        QCOMPARE(r.frames.size(), 0);
        r.clock.advance(1);
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.frames[0][0].toByteArray(), kFrame);
        QCOMPARE(r.port.written, QByteArray(3, ' '));
        QVERIFY(!r.link.busy());
    }

    // A key clicked while a poll waits runs after that poll, which keeps its reply.
    void keyDuringPollWaitsItsTurn() {
        Rig r;
        r.answerPolls(r.port);
        r.poller.tick();
        r.clock.advance(100);
        link::pressKey(r.link, link::MeterKey::AC);
        QCOMPARE(r.port.written, QByteArray(" "));
        r.clock.advance(100);
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.port.written, QByteArray(" A"));
        QVERIFY(!r.poller.tick());  // the key's 0.1 s wait is still running
        r.clock.advance(100);
        QVERIFY(r.poller.tick());
    }

    // The single keys throw away waiting input first; RESET and REC do not.
    void keysSendTheirLetters_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("durationMs");
        QTest::addColumn<bool>("discards");
        QTest::newRow("A/C") << int(link::MeterKey::AC) << QByteArray("A") << 100 << true;
        QTest::newRow("F/S") << int(link::MeterKey::FS) << QByteArray("F") << 100 << true;
        QTest::newRow("MAX") << int(link::MeterKey::Max) << QByteArray("M") << 100 << true;
        QTest::newRow("up") << int(link::MeterKey::RangeUp) << QByteArray("U") << 100 << true;
        QTest::newRow("down") << int(link::MeterKey::RangeDown) << QByteArray("P") << 100 << true;
        QTest::newRow("RESET") << int(link::MeterKey::Reset) << QByteArray("EEE") << 600 << false;
        QTest::newRow("REC start")
            << int(link::MeterKey::RecStart) << QByteArray("S") << 100 << false;
        QTest::newRow("REC stop") << int(link::MeterKey::RecStop) << QByteArray("T") << 100
                                  << false;
    }
    void keysSendTheirLetters() {
        QFETCH(int, key);
        QFETCH(int, durationMs);
        Rig r;
        r.port.inject("junk");
        link::pressKey(r.link, link::MeterKey(key));
        r.clock.advance(durationMs - 1);
        QVERIFY(r.link.busy());
        r.clock.advance(1);
        QVERIFY(!r.link.busy());
        QTEST(r.port.written, "bytes");
        QTEST(r.port.bytesAvailable() == 0, "discards");
    }

    // The PC time goes out as it is when the bytes are sent, after a poll that ran first;
    // a lost port refuses the clock set and says so.
    void clockSetSendsTheTimeOfSending() {
        Rig r;
        r.clock.setNow(QDateTime(QDate(2009, 6, 1), QTime(14, 5, 7)));
        r.poller.tick();
        QList<bool> done;
        link::setMeterClock(r.link, [&](bool sent) { done << sent; });
        r.clock.advance(2000 + 199);
        QCOMPARE(r.port.written, QByteArray(10, ' ') + "D");
        QVERIFY(done.isEmpty());
        r.clock.advance(1);
        QCOMPARE(done, QList<bool>{true});
        QCOMPARE(r.port.written.mid(11), QByteArray("\x09\x06\x01\x14\x05\x09", 6));
        r.port.fail(QStringLiteral("gone"));
        link::setMeterClock(r.link, [&](bool sent) { done << sent; });
        QCOMPARE(done, (QList<bool>{true, false}));
    }

    // The adapter comes back: the link talks through the new port and the poller
    // goes from "No COM" back to linked at the first frame.
    void replacedPortCarriesOn() {
        Rig r;
        test::FakeTransport back(r.clock);
        r.answerPolls(back);
        r.poller.setOpened();
        r.port.fail(QStringLiteral("unplugged"));
        QCOMPARE(r.poller.state(), LinkState::NoData);
        r.link.replacePort(back);
        r.poller.tick();
        r.clock.advance(200);
        QCOMPARE(r.frames.size(), 1);
        QCOMPARE(r.poller.state(), LinkState::Linked);
        r.port.inject("stray");  // the old port no longer reaches the link
        QCOMPARE(back.written, QByteArray(" "));
    }
};

QTEST_GUILESS_MAIN(TestMeterLink)
#include "test_meter_link.moc"
