// The simulated meter's live frames, keys, clock, status reply and faults, byte by byte.
// Frames are also read back with the program's own decoder.
#include <QTest>

#include "link/meter_decode.h"
#include "sim/sim_encode.h"
#include "sim/sim_meter.h"
#include "sim_test_util.h"

using namespace lp;
using test::bytes;

namespace {
const QDateTime kNow(QDate(2024, 3, 15), QTime(10, 0, 0));

link::Reading decode(const QByteArray& frame) {
    link::Reading r;
    link::decodeLiveFrame(r, frame);
    return r;
}
}  // namespace

class TestSimMeter : public QObject {
    Q_OBJECT
private slots:
    void liveFrameLayout_data() {
        QTest::addColumn<double>("level");
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("flags");  // 1 C weighting, 2 slow, 4 recording, 8 full, 16 battery
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<float>("decoded");
        QTest::newRow("65.3 A fast") << 65.3 << 0 << 0 << bytes({2, 0x40, 0x06, 0x53, 3}) << 65.3f;
        QTest::newRow("whole number") << 30.0 << 0 << 0 << bytes({2, 0x40, 0x03, 0x00, 3}) << 30.0f;
        QTest::newRow("top of range") << 80.0 << 0 << 0 << bytes({2, 0x40, 0x08, 0x00, 3}) << 80.0f;
        QTest::newRow("over") << 80.1 << 0 << 0 << bytes({2, 0x40, 0x88, 0x01, 3}) << 80.1f;
        QTest::newRow("under") << 29.9 << 0 << 0 << bytes({2, 0x40, 0x42, 0x99, 3}) << 29.9f;
        QTest::newRow("100.0") << 100.0 << 5 << 0 << bytes({2, 0x45, 0x10, 0x00, 3}) << 100.0f;
        QTest::newRow("105.2 full span")
            << 105.2 << 6 << 0 << bytes({2, 0x46, 0x10, 0x52, 3}) << 105.2f;
        QTest::newRow("105.2 over 100")
            << 105.2 << 2 << 0 << bytes({2, 0x42, 0x90, 0x52, 3}) << 105.2f;
        QTest::newRow("range 7 is 0-0")
            << 42.0 << 7 << 0 << bytes({2, 0x47, 0x84, 0x20, 3}) << 42.0f;
        QTest::newRow("every flag") << 55.5 << 3 << 31 << bytes({2, 0x9B, 0x65, 0x55, 3}) << 55.5f;
        QTest::newRow("beyond the display")
            << 250.0 << 6 << 0 << bytes({2, 0x46, 0x99, 0x99, 3}) << 199.9f;
    }
    void liveFrameLayout() {
        QFETCH(double, level);
        QFETCH(int, range);
        QFETCH(int, flags);
        QFETCH(QByteArray, frame);
        QFETCH(float, decoded);
        sim::SimMeter m;
        m.setFixedLevel(level);
        m.rangeCode = range;
        m.weightingA = !(flags & 1);
        m.slow = flags & 2;
        m.recording = flags & 4;
        m.memoryFull = flags & 8;
        m.batteryLow = flags & 16;
        QCOMPARE(m.receive(" ", kNow, 0).toHex(' '), frame.toHex(' '));
        QCOMPARE(decode(frame).Level, decoded);
    }

    // The varying level looks like a real room: within the lower ranges, no jumps.
    void varyingLevelIsPlausible() {
        sim::SimMeter m;
        double previous = m.levelAt(0);
        double lowest = previous, highest = previous;
        for (qint64 t = 150; t < 600000; t += 150) {
            const double level = m.levelAt(t);
            QVERIFY2(std::abs(level - previous) < 1.0, qPrintable(QString::number(t)));
            lowest = std::min(lowest, level);
            highest = std::max(highest, level);
            previous = level;
        }
        QVERIFY(lowest >= 40.0 && highest <= 85.0);
        QVERIFY(highest - lowest > 15.0);
    }

    void keysShowInLaterFrames_data() {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<int>("weightingA");
        QTest::addColumn<int>("slow");
        QTest::addColumn<int>("maxHold");
        QTest::addColumn<int>("rangeLow");
        QTest::addColumn<int>("rangeHigh");
        QTest::newRow("none") << QByteArray() << 1 << 0 << 0 << 30 << 80;
        QTest::newRow("A") << QByteArray("A") << 0 << 0 << 0 << 30 << 80;
        QTest::newRow("A twice") << QByteArray("AA") << 1 << 0 << 0 << 30 << 80;
        QTest::newRow("F") << QByteArray("F") << 1 << 1 << 0 << 30 << 80;
        QTest::newRow("M") << QByteArray("M") << 1 << 0 << 1 << 30 << 80;
        QTest::newRow("M then E three times") << QByteArray("MEEE") << 1 << 0 << 0 << 30 << 80;
        QTest::newRow("U") << QByteArray("U") << 1 << 0 << 0 << 40 << 90;
        QTest::newRow("U to full span") << QByteArray("UUUUUU") << 1 << 0 << 0 << 30 << 130;
        QTest::newRow("U stops at 6") << QByteArray("UUUUUUUUU") << 1 << 0 << 0 << 30 << 130;
        QTest::newRow("P stops at 0") << QByteArray("PP") << 1 << 0 << 0 << 30 << 80;
        QTest::newRow("U U P") << QByteArray("UUP") << 1 << 0 << 0 << 40 << 90;
        QTest::newRow("unknown letters ignored") << QByteArray("QB\r\n") << 1 << 0 << 0 << 30 << 80;
    }
    void keysShowInLaterFrames() {
        QFETCH(QByteArray, keys);
        sim::SimMeter m;
        m.setFixedLevel(65.3);
        for (const char k : keys) {
            QCOMPARE(m.receive(QByteArray(1, k), kNow, 100), QByteArray());  // keys never answer
        }
        const link::Reading r = decode(m.receive(" ", kNow, 200));
        QTEST(int(r.WeightingA), "weightingA");
        QTEST(int(r.SlowResponse), "slow");
        QTEST(int(r.MaxHold), "maxHold");
        QTEST(int(r.RangeLow), "rangeLow");
        QTEST(int(r.RangeHigh), "rangeHigh");
        QCOMPARE(r.Level, 65.3f);
    }

    void maxHoldKeepsTheHighestLevelUntilReset() {
        sim::SimMeter m;
        m.setFixedLevel(70.0);
        (void)m.receive("M", kNow, 0);
        m.setFixedLevel(60.0);
        QCOMPARE(decode(m.receive(" ", kNow, 100)).Level, 70.0f);
        m.setFixedLevel(75.4);
        QCOMPARE(decode(m.receive(" ", kNow, 200)).Level, 75.4f);
        m.setFixedLevel(50.0);
        QCOMPARE(decode(m.receive(" ", kNow, 300)).Level, 75.4f);
        (void)m.receive("E", kNow, 400);
        const link::Reading r = decode(m.receive(" ", kNow, 500));
        QCOMPARE(r.Level, 50.0f);
        QCOMPARE(r.MaxHold, qint16(0));
    }

    void clockSetThenRead_data() {
        QTest::addColumn<QByteArray>("setBytes");
        QTest::addColumn<qint64>("laterMs");
        QTest::addColumn<QByteArray>("clock");
        QTest::newRow("set and read at once")
            << bytes({0x09, 0x06, 0x01, 0x14, 0x05, 0x09}) << qint64(0)
            << bytes({0x09, 0x06, 0x01, 0x14, 0x05, 0x09});
        QTest::newRow("runs on with the PC clock")
            << bytes({0x09, 0x06, 0x01, 0x14, 0x05, 0x09}) << qint64(10000)
            << bytes({0x09, 0x06, 0x01, 0x14, 0x05, 0x19});
        QTest::newRow("over new year")
            << bytes({0x99, 0x12, 0x31, 0x23, 0x59, 0x50}) << qint64(15000)
            << bytes({0x00, 0x01, 0x01, 0x00, 0x00, 0x05});
        QTest::newRow("not BCD: ignored")
            << bytes({0x09, 0x1A, 0x01, 0x14, 0x05, 0x09}) << qint64(0)
            << bytes({0x24, 0x03, 0x15, 0x10, 0x00, 0x00});
        QTest::newRow("no such date: ignored")
            << bytes({0x09, 0x02, 0x30, 0x14, 0x05, 0x09}) << qint64(0)
            << bytes({0x24, 0x03, 0x15, 0x10, 0x00, 0x00});
    }
    void clockSetThenRead() {
        QFETCH(QByteArray, setBytes);
        QFETCH(qint64, laterMs);
        QFETCH(QByteArray, clock);
        sim::SimMeter m;
        // "D" and its bytes come in separate writes, as the program sends them.
        QCOMPARE(m.receive("D", kNow, 0), QByteArray());
        QCOMPARE(m.receive(setBytes, kNow.addMSecs(200), 200), QByteArray());
        QCOMPARE(m.receive("C", kNow.addMSecs(200 + laterMs), 200 + laterMs).toHex(' '),
                 clock.toHex(' '));
    }

    void statusReply_data() {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<QList<int>>("setSizes");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("empty memory")
            << QByteArray() << QList<int>() << bytes({0, 1, 0, 8, 0, 0, 3, 3, 0, 2});
        QTest::newRow("id 65535, interval 1") << bytes({'X', 0xFF, 0xFF, 'W', 0, 1}) << QList<int>()
                                              << bytes({0xFF, 0xFF, 0, 8, 0, 0, 3, 3, 0, 1});
        QTest::newRow("interval 0 ignored, 3600 kept")
            << bytes({'W', 0x0E, 0x10, 'W', 0, 0}) << QList<int>()
            << bytes({0, 1, 0, 8, 0, 0, 3, 3, 0x0E, 0x10});
        // 12 + 240 and 12 + 2048: 2312 bytes used.
        QTest::newRow("two sets") << QByteArray() << QList<int>{120, 1024}
                                  << bytes({0, 1, 0, 8, 2, 0x00, 0x09, 0x08, 0, 2});
        QTest::newRow("empty set")
            << QByteArray() << QList<int>{0} << bytes({0, 1, 0, 8, 1, 0, 0, 12, 0, 2});
    }
    void statusReply() {
        QFETCH(QByteArray, commands);
        QFETCH(QList<int>, setSizes);
        QFETCH(QByteArray, status);
        sim::SimMeter m;
        for (const int n : setSizes) {
            m.addSet(sim::makeSet(kNow, 0, true, 1, n));
        }
        // Argument bytes may trail their letter by any number of writes.
        for (const char c : commands) {
            QCOMPARE(m.receive(QByteArray(1, c), kNow, 0), QByteArray());
        }
        QCOMPARE(m.receive("Y", kNow, 0).toHex(' '), status.toHex(' '));
    }

    void faults() {
        sim::SimMeter m;
        m.setFixedLevel(65.3);
        m.addSet(sim::makeSet(kNow, 0, true, 1, 1024));
        m.setFault(sim::Fault::SwitchedOff);
        QCOMPARE(m.fault(), sim::Fault::SwitchedOff);
        for (const QByteArray& cmd : {QByteArray(" "), QByteArray("Y"), QByteArray("C"),
                                      QByteArray("I"), QByteArray("K\x01"), QByteArray("A")}) {
            QCOMPARE(m.receive(cmd, kNow, 0), QByteArray());
        }
        QVERIFY(m.weightingA);  // a switched-off meter takes no keys

        m.setFault(sim::Fault::WrongLength);
        QCOMPARE(m.receive(" ", kNow, 0), bytes({2, 0x40, 0x06, 0x53}));
        QCOMPARE(m.receive("Y", kNow, 0).size(), 9);
        QCOMPARE(m.receive("C", kNow, 0).size(), 5);
        QCOMPARE(m.receive("I", kNow, 0).size(), 12);
        QCOMPARE(m.receive("K\x01", kNow, 0).size(), 11);
        QCOMPARE(m.receive("Z", kNow, 0).size(), 2047);
        QCOMPARE(m.receive(" Y", kNow, 0).size(), 4 + 9);  // each reply is short

        m.setFault(sim::Fault::None);
        QCOMPARE(m.receive(" ", kNow, 0).size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestSimMeter)
#include "test_sim_meter.moc"
