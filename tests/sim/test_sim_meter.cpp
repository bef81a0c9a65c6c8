// The simulated meter's live frames, keys, clock, status reply and faults, byte by byte.
// Frames are also read back with the program's own decoder.
#include <QTest>

#include "link/meter_decode.h"
#include "sim/sim_encode.h"
#include "sim/sim_meter.h"

using namespace lp;

namespace {
const QDateTime kNow(QDate(2024, 3, 15), QTime(10, 0, 0));

QByteArray hex(const char* digits) {
    return QByteArray::fromHex(digits);
}

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
        QTest::newRow("65.3 A fast") << 65.3 << 0 << 0 << hex("02 40 0653 03") << 65.3f;
        QTest::newRow("whole number") << 30.0 << 0 << 0 << hex("02 40 0300 03") << 30.0f;
        QTest::newRow("top of range") << 80.0 << 0 << 0 << hex("02 40 0800 03") << 80.0f;
        QTest::newRow("over") << 80.1 << 0 << 0 << hex("02 40 8801 03") << 80.1f;
        QTest::newRow("under") << 29.9 << 0 << 0 << hex("02 40 4299 03") << 29.9f;
        QTest::newRow("100.0") << 100.0 << 5 << 0 << hex("02 45 1000 03") << 100.0f;
        QTest::newRow("105.2 full span") << 105.2 << 6 << 0 << hex("02 46 1052 03") << 105.2f;
        QTest::newRow("105.2 over 100") << 105.2 << 2 << 0 << hex("02 42 9052 03") << 105.2f;
        QTest::newRow("range 7 is 0-0") << 42.0 << 7 << 0 << hex("02 47 8420 03") << 42.0f;
        QTest::newRow("every flag") << 55.5 << 3 << 31 << hex("02 9B 6555 03") << 55.5f;
        QTest::newRow("beyond the display") << 250.0 << 6 << 0 << hex("02 46 9999 03") << 199.9f;
    }
    void liveFrameLayout() {
        QFETCH(double, level);
        QFETCH(int, range);
        QFETCH(int, flags);
        QFETCH(QByteArray, frame);
        sim::SimMeter m;
        m.setFixedLevel(level);
        m.rangeCode = range;
        m.weightingA = !(flags & 1);
        m.slow = flags & 2;
        m.recording = flags & 4;
        m.memoryFull = flags & 8;
        m.batteryLow = flags & 16;
        QCOMPARE(m.receive(" ", kNow, 0).toHex(' '), frame.toHex(' '));
        QTEST(decode(frame).Level, "decoded");
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
        QTest::addColumn<QString>("shown");  // A weighting, slow, max hold, range
        QTest::newRow("none") << QByteArray() << "100 30-80";
        QTest::newRow("A") << QByteArray("A") << "000 30-80";
        QTest::newRow("A twice") << QByteArray("AA") << "100 30-80";
        QTest::newRow("F") << QByteArray("F") << "110 30-80";
        QTest::newRow("M") << QByteArray("M") << "101 30-80";
        QTest::newRow("M then E three times") << QByteArray("MEEE") << "100 30-80";
        QTest::newRow("U") << QByteArray("U") << "100 40-90";
        QTest::newRow("U to full span") << QByteArray("UUUUUU") << "100 30-130";
        QTest::newRow("U stops at 6") << QByteArray("UUUUUUUUU") << "100 30-130";
        QTest::newRow("P stops at 0") << QByteArray("PP") << "100 30-80";
        QTest::newRow("U U P") << QByteArray("UUP") << "100 40-90";
        QTest::newRow("unknown letters ignored") << QByteArray("QB\r\n") << "100 30-80";
    }
    void keysShowInLaterFrames() {
        QFETCH(QByteArray, keys);
        sim::SimMeter m;
        m.setFixedLevel(65.3);
        for (const char k : keys) {
            QCOMPARE(m.receive(QByteArray(1, k), kNow, 100), QByteArray());  // keys never answer
        }
        const link::Reading r = decode(m.receive(" ", kNow, 200));
        QTEST(QString::asprintf("%d%d%d %d-%d", r.WeightingA, r.SlowResponse, r.MaxHold, r.RangeLow,
                                r.RangeHigh),
              "shown");
        QCOMPARE(r.Level, 65.3f);
    }

    void maxHoldKeepsTheHighestLevelUntilReset() {
        sim::SimMeter m;
        m.setFixedLevel(70.0);
        (void)m.receive("M", kNow, 0);
        QList<float> shown;
        for (const double level : {60.0, 75.4, 50.0}) {
            m.setFixedLevel(level);
            shown << decode(m.receive(" ", kNow, 100)).Level;
        }
        QCOMPARE(shown, (QList<float>{70.0f, 75.4f, 75.4f}));
        (void)m.receive("E", kNow, 400);
        const link::Reading r = decode(m.receive(" ", kNow, 500));
        QCOMPARE(r.Level, 50.0f);
        QCOMPARE(r.MaxHold, qint16(0));
    }

    // Commands, each byte in a write of its own (argument bytes may trail their letter),
    // then "C" when they set the clock, else "Y", some time later.
    void replyAfterCommands_data() {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<QList<int>>("sets");
        QTest::addColumn<int>("laterMs");
        QTest::addColumn<QByteArray>("reply");
        const QList<int> none;
        QTest::newRow("clock set and read at once")
            << hex("44 090601140509") << none << 0 << hex("090601140509");
        QTest::newRow("clock runs on with the PC clock")
            << hex("44 090601140509") << none << 10000 << hex("090601140519");
        QTest::newRow("clock over new year")
            << hex("44 991231235950") << none << 15000 << hex("000101000005");
        QTest::newRow("clock not BCD: ignored")
            << hex("44 091A01140509") << none << 0 << hex("240315100000");
        QTest::newRow("clock no such date: ignored")
            << hex("44 090230140509") << none << 0 << hex("240315100000");
        QTest::newRow("empty memory")
            << QByteArray() << none << 0 << hex("0001 00 08 00 000303 0002");
        QTest::newRow("id 65535, interval 1")
            << hex("58 FFFF 57 0001") << none << 0 << hex("FFFF 00 08 00 000303 0001");
        QTest::newRow("interval 0 ignored, 3600 kept")
            << hex("57 0E10 57 0000") << none << 0 << hex("0001 00 08 00 000303 0E10");
        // 12 + 240 and 12 + 2048: 2312 bytes used.
        QTest::newRow("two sets") << QByteArray() << QList<int>{120, 1024} << 0
                                  << hex("0001 00 08 02 000908 0002");
        QTest::newRow("empty set")
            << QByteArray() << QList<int>{0} << 0 << hex("0001 00 08 01 00000C 0002");
    }
    void replyAfterCommands() {
        QFETCH(QByteArray, commands);
        QFETCH(QList<int>, sets);
        QFETCH(int, laterMs);
        QFETCH(QByteArray, reply);
        sim::SimMeter m;
        for (const int n : sets) {
            m.addSet(sim::makeSet(kNow, 0, true, 1, n));
        }
        for (const char c : commands) {
            QCOMPARE(m.receive(QByteArray(1, c), kNow, 0), QByteArray());
        }
        const QByteArray ask = commands.startsWith('D') ? "C" : "Y";
        QCOMPARE(m.receive(ask, kNow.addMSecs(laterMs), laterMs).toHex(' '), reply.toHex(' '));
    }

    void faults() {
        sim::SimMeter m;
        m.setFixedLevel(65.3);
        m.addSet(sim::makeSet(kNow, 0, true, 1, 1024));
        m.setFault(sim::Fault::SwitchedOff);
        for (const char* cmd : {" ", "Y", "C", "I", "K\x01", "A"}) {
            QCOMPARE(m.receive(cmd, kNow, 0), QByteArray());
        }
        QVERIFY(m.weightingA);  // a switched-off meter takes no keys

        m.setFault(sim::Fault::WrongLength);
        QCOMPARE(m.receive(" ", kNow, 0), hex("02 40 0653"));
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
