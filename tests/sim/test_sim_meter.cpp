// The simulated meter byte by byte, and its in-process transport. (How the program reads
// these bytes: tests/link.)
#include <QSignalSpy>
#include <QTest>

#include "platform/virtual_clock.h"
#include "sim/sim_encode.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

using namespace lp;

namespace {
const QDateTime kNow(QDate(2024, 3, 15), QTime(10, 0, 0));
const QDateTime kSetStart(QDate(2009, 6, 1), QTime(14, 5, 9));

QByteArray hex(const char* digits) {
    return QByteArray::fromHex(digits);
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
        QTest::newRow("65.3 A fast") << 65.3 << 0 << 0 << hex("02 40 0653 03");
        QTest::newRow("top of range") << 80.0 << 0 << 0 << hex("02 40 0800 03");
        QTest::newRow("over") << 80.1 << 0 << 0 << hex("02 40 8801 03");
        QTest::newRow("under") << 29.9 << 0 << 0 << hex("02 40 4299 03");
        QTest::newRow("105.2 over 100") << 105.2 << 2 << 0 << hex("02 42 9052 03");
        QTest::newRow("range 7 is 0-0") << 42.0 << 7 << 0 << hex("02 47 8420 03");
        QTest::newRow("every flag") << 55.5 << 3 << 31 << hex("02 9B 6555 03");
        QTest::newRow("beyond the display") << 250.0 << 6 << 0 << hex("02 46 9999 03");
    }
    void liveFrameLayout() {
        QFETCH(double, level);
        QFETCH(int, range);
        QFETCH(int, flags);
        sim::SimMeter m;
        m.setFixedLevel(level);
        m.rangeCode = range;
        m.weightingA = !(flags & 1);
        m.slow = flags & 2;
        m.recording = flags & 4;
        m.memoryFull = flags & 8;
        m.batteryLow = flags & 16;
        QTEST(m.receive(" ", kNow, 0), "frame");
    }

    // Keys never answer; they show in the status byte of later frames: 0x40 A
    // weighting, 0x80 slow, the low bits the range code (max hold, 0x20, below).
    void keysShowInLaterFrames_data() {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("A") << QByteArray("A") << hex("00");
        QTest::newRow("A twice") << QByteArray("AA") << hex("40");
        QTest::newRow("F") << QByteArray("F") << hex("C0");
        QTest::newRow("U stops at 6") << QByteArray("UUUUUUUUU") << hex("46");
        QTest::newRow("P stops at 0") << QByteArray("PP") << hex("40");
        QTest::newRow("U U P") << QByteArray("UUP") << hex("41");
        QTest::newRow("unknown letters ignored") << QByteArray("QB\r\n") << hex("40");
    }
    void keysShowInLaterFrames() {
        QFETCH(QByteArray, keys);
        sim::SimMeter m;
        m.setFixedLevel(65.3);
        for (const char k : keys) {
            QCOMPARE(m.receive(QByteArray(1, k), kNow, 100), QByteArray());
        }
        QTEST(m.receive(" ", kNow, 200).mid(1, 1), "status");
    }

    // Max hold shows the highest level since M; E forgets it, and E again (RESET
    // sends it three times) leaves max hold off.
    void maxHoldKeepsTheHighestLevelUntilReset() {
        sim::SimMeter m;
        m.setFixedLevel(70.0);
        (void)m.receive("M", kNow, 0);
        QStringList shown;
        for (const double level : {60.0, 75.4, 50.0}) {
            m.setFixedLevel(level);
            shown << m.receive(" ", kNow, 100).mid(1, 3).toHex();
        }
        (void)m.receive("EE", kNow, 400);
        shown << m.receive(" ", kNow, 500).mid(1, 3).toHex();
        QCOMPARE(shown, (QStringList{"600700", "600754", "600754", "400500"}));
    }

    // Commands, each byte in a write of its own (argument bytes may trail their letter),
    // then "C" when they set the clock, else "Y", some time later.
    void replyAfterCommands_data() {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<QList<int>>("sets");
        QTest::addColumn<int>("laterMs");
        QTest::addColumn<QByteArray>("reply");
        const auto row = [](const char* name, const char* commands, QList<int> sets, int laterMs,
                            const char* reply) {
            QTest::newRow(name) << hex(commands) << sets << laterMs << hex(reply);
        };
        row("clock runs on with the PC clock", "44 090601140509", {}, 10000, "090601140519");
        row("clock over new year", "44 991231235950", {}, 15000, "000101000005");
        row("clock not BCD: ignored", "44 091A01140509", {}, 0, "240315100000");
        row("clock no such date: ignored", "44 090230140509", {}, 0, "240315100000");
        row("empty memory", "", {}, 0, "0001 00 08 00 000303 0002");
        row("id 65535, interval 1", "58 FFFF 57 0001", {}, 0, "FFFF 00 08 00 000303 0001");
        row("interval 0 ignored, 3600 kept", "57 0E10 57 0000", {}, 0, "0001 00 08 00 000303 0E10");
        // 12 + 240 and 12 + 2048: 2312 bytes used.
        row("two sets", "", {120, 1024}, 0, "0001 00 08 02 000908 0002");
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

        // Every reply one byte short; " Y" gets two short replies.
        m.setFault(sim::Fault::WrongLength);
        QCOMPARE(m.receive(" ", kNow, 0), hex("02 40 0653"));
        QStringList sizes;
        for (const char* cmd : {"Y", "C", "I", "K\x01", "Z", " Y"}) {
            sizes << QString::number(m.receive(cmd, kNow, 0).size());
        }
        QCOMPARE(sizes.join(u' '), "9 5 12 11 2047 13");

        m.setFault(sim::Fault::None);
        QCOMPARE(m.receive(" ", kNow, 0).size(), 5);
    }

    void setImageAndTable() {
        const sim::StoredSet s = sim::makeSet(kSetStart, 2, true, 300, 3, [](int k) {
            return k == 1 ? 65.3 : k == 2 ? 105.2 : 44.0;
        });
        // 105.2 is over 100 and 44.0 under 50 on range 2.
        QCOMPARE(sim::setImage(s).toHex(' '),
                 hex("090601140509 42 012C 000003 0653 9052 4440").toHex(' '));

        sim::SimMeter m;
        QCOMPARE(m.receive("I", kNow, 0), hex("00"));
        m.addSet(sim::makeSet(kSetStart, 6, false, 0x0102, 120));
        sim::StoredSet erased;
        erased.header = QByteArray(12, '\xFF');
        erased.records = QByteArray(10, '\xFF');
        m.addSet(erased);
        QCOMPARE(m.receive("I", kNow, 0).toHex(' '),
                 hex("02 090601140509 06 0102 000078 FFFFFFFFFFFF FF FFFF 000005").toHex(' '));
    }

    // First part (12 + 2N) mod 2048 bytes, then one 2048-byte block per "Z"; together
    // exactly the set's bytes, also where the first part is shorter than the header.
    void downloadSplit_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("firstPart");
        QTest::addColumn<int>("blocks");
        QTest::newRow("0") << 0 << 12 << 0;
        QTest::newRow("1018") << 1018 << 0 << 1;
        QTest::newRow("1023") << 1023 << 10 << 1;
        QTest::newRow("1024") << 1024 << 12 << 1;
        QTest::newRow("2500") << 2500 << 916 << 2;
    }
    void downloadSplit() {
        QFETCH(int, records);
        QFETCH(int, firstPart);
        QFETCH(int, blocks);
        sim::SimMeter m;
        m.addSet(sim::makeSet(kNow, 0, true, 1, 7));
        const sim::StoredSet set = sim::makeSet(kSetStart, 6, true, 2, records);
        m.addSet(set);
        // The set number may follow its "K" in a later write.
        QCOMPARE(m.receive("K", kNow, 0), QByteArray());
        QByteArray got = m.receive(hex("02"), kNow, 20);
        QCOMPARE(got.size(), firstPart);
        for (int b = 0; b < blocks; ++b) {
            const QByteArray block = m.receive("Z", kNow, 100);
            QCOMPARE(block.size(), 2048);
            got += block;
        }
        QCOMPARE(m.receive("Z", kNow, 200), QByteArray());  // past the end: nothing
        QCOMPARE(got, sim::setImage(set));
    }

    void downloadOfMissingSetAnswersNothing() {
        sim::SimMeter m;
        m.addSet(sim::makeSet(kSetStart, 0, true, 1, 1500));
        (void)m.receive("K\x01", kNow, 0);
        QCOMPARE(m.receive(hex("4B 00"), kNow, 0), QByteArray());
        QCOMPARE(m.receive("Z", kNow, 0), QByteArray());  // the earlier download is dropped
        QCOMPARE(m.receive("K\x02Z", kNow, 0), QByteArray());
        QCOMPARE(m.receive("K\x01", kNow, 0).size(), 964);  // 12 + 3000 bytes: 964 first
    }

    void meterRecordsIntoNewSet() {
        sim::SimMeter m;
        m.intervalSec = 2;
        m.rangeCode = 3;
        (void)m.receive(hex("44 090601235958"), kNow, 0);
        m.addSet(sim::makeSet(kSetStart, 0, true, 1, 10));
        (void)m.receive("S", kNow.addMSecs(1000), 1000);
        QVERIFY(m.recording);
        QCOMPARE(m.sets().size(), size_t(2));
        QCOMPARE(m.sets()[1].recordCount(), 1);           // the first record is taken at once
        (void)m.receive("A", kNow.addMSecs(3000), 3000);  // later keys do not change the set

        const QByteArray frame = m.receive(" ", kNow.addMSecs(7999), 7999);
        QCOMPARE(quint8(frame[1]) & 0x08, 0x08);
        QCOMPARE(m.sets()[1].recordCount(), 4);  // at 1, 3, 5 and 7 s
        (void)m.receive("T", kNow.addMSecs(8500), 8500);
        (void)m.receive(" ", kNow.addMSecs(60000), 60000);
        QVERIFY(!m.recording);
        QCOMPARE(sim::setHeader(m.sets()[1]).toHex(' '),
                 hex("090601235959 43 0002 000004").toHex(' '));
        QCOMPARE(m.receive("Y", kNow, 60000).mid(4, 4), hex("02 000034"));  // 32 + 20 bytes
    }

    // The memory (16 K x size code) or the 255 sets used up: recording stops.
    void recordingStopsWhenMemoryIsFull() {
        sim::SimMeter m;
        m.sizeCode = 1;  // 16384 bytes
        m.intervalSec = 1;
        m.addSet(sim::makeSet(kSetStart, 0, true, 1, 8000));  // 16012 bytes
        (void)m.receive("S", kNow, 0);
        const QByteArray frame = m.receive(" ", kNow, 3600000);
        QCOMPARE(m.sets()[1].recordCount(), 180);  // its header and 360 bytes fill it
        QVERIFY(!m.recording);
        QCOMPARE(quint8(frame[1]) & 0x18, 0x10);  // full, no longer recording

        sim::SimMeter crowded;
        for (int i = 0; i < sim::SimMeter::kMaxSets; ++i) {
            crowded.addSet(sim::makeSet(kSetStart, 0, true, 1, 1));
        }
        (void)crowded.receive("S", kNow, 0);
        QVERIFY(!crowded.recording);
        QVERIFY(crowded.memoryFull);
        QCOMPARE(crowded.sets().size(), size_t(sim::SimMeter::kMaxSets));
    }

    // The in-process transport: after its latency, replies queue on the line at 960
    // bytes a second and arrive in pieces: the 12-byte first part (13 ms), then the
    // 2048-byte block behind it (2134 ms).
    void pacedRepliesQueueAtLineSpeed() {
        platform::VirtualClock clock;
        sim::SimMeter meter;
        meter.addSet(sim::makeSet(clock.now(), 0, true, 1, 1024));
        sim::SimTransport port(meter, clock, true, 15);
        QSignalSpy ready(&port, &platform::Transport::readyRead);
        port.write("K\x01");
        port.write("Z");
        clock.advance(15 + 2000);
        QVERIFY(port.bytesAvailable() > 1900 && port.bytesAvailable() < 2060);
        clock.advance(15 + 13 + 2134 - 1 - 2015);
        QVERIFY(port.bytesAvailable() < 2060);
        clock.advance(1 + sim::SimTransport::kPieceMs);
        QCOMPARE(port.bytesAvailable(), 2060);
        QVERIFY(ready.size() > 100);  // pieces, not one lump
        QCOMPARE(port.readAll(), sim::setImage(meter.sets()[0]));
    }
};

QTEST_GUILESS_MAIN(TestSimMeter)
#include "test_sim_meter.moc"
