// How exchanges end on the link: once each, with their bytes or a reason, whether they
// finish, are cancelled (running or queued), are refused by a lost port, or are dropped
// when the port fails or is replaced. Also the one BCD codec.
#include <QTest>

#include "fake_transport.h"
#include "link/bcd.h"
#include "link/meter_link.h"
#include "platform/virtual_clock.h"

using namespace lp;

namespace {

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
    QList<link::ExchangeEnd> ends;

    link::ExchangeId probe() {
        return link.submit(std::make_unique<Probe>(),
                           [this](const link::ExchangeEnd& end) { ends << end; });
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
        QVERIFY(!r.link.cancel(first));  // it ended already
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
        QStringList expected = reasons;
        expected.removeAll(QString());
        QCOMPARE(told, expected);
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

    void bcdCodec() {
        for (int v : {0, 9, 10, 59, 99}) {
            QCOMPARE(link::fromBcd(link::toBcd(v)), std::optional<int>(v));
        }
        QCOMPARE(link::toBcd(59), quint8(0x59));
        QCOMPARE(link::toBcd(123), quint8(0x99));  // held to 0..99
        QCOMPARE(link::fromBcd(0x5A), std::nullopt);
        QCOMPARE(link::fromBcd(0xA5), std::nullopt);
        QCOMPARE(link::bcdDateTime(QDateTime(QDate(2009, 6, 1), QTime(14, 5, 9))),
                 QByteArray("\x09\x06\x01\x14\x05\x09", 6));
    }
};

QTEST_GUILESS_MAIN(TestMeterLink)
#include "test_meter_link.moc"
