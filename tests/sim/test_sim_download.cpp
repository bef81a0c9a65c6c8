// The simulated meter's memory: set images and the set table, the "K"/"Z" download
// split for every kind of set length, and the meter's own recording ("S"/"T") filling
// a new set.
#include <QTest>

#include "sim/sim_encode.h"
#include "sim/sim_meter.h"

using namespace lp;

namespace {
const QDateTime kNow(QDate(2024, 3, 15), QTime(10, 0, 0));
const QDateTime kStart(QDate(2009, 6, 1), QTime(14, 5, 9));

QByteArray hex(const char* digits) {
    return QByteArray::fromHex(digits);
}
}  // namespace

class TestSimDownload : public QObject {
    Q_OBJECT
private slots:
    void setImageAndTable() {
        const sim::StoredSet s = sim::makeSet(kStart, 2, true, 300, 3, [](int k) {
            return k == 1 ? 65.3 : k == 2 ? 105.2 : 44.0;
        });
        // 105.2 is over 100 and 44.0 under 50 on range 2.
        QCOMPARE(sim::setImage(s).toHex(' '),
                 hex("090601140509 42 012C 000003 0653 9052 4440").toHex(' '));

        sim::SimMeter m;
        QCOMPARE(m.receive("I", kNow, 0), hex("00"));
        m.addSet(sim::makeSet(kStart, 6, false, 0x0102, 120));
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
        QTest::newRow("1") << 1 << 14 << 0;
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
        const sim::StoredSet set = sim::makeSet(kStart, 6, true, 2, records);
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
        QCOMPARE(got.size(), 12 + 2 * records);
    }

    void downloadOfMissingSetAnswersNothing() {
        sim::SimMeter m;
        m.addSet(sim::makeSet(kStart, 0, true, 1, 1500));
        (void)m.receive("K\x01", kNow, 0);
        QCOMPARE(m.receive(hex("4B 00"), kNow, 0), QByteArray());
        QCOMPARE(m.receive("Z", kNow, 0), QByteArray());  // the earlier download is dropped
        QCOMPARE(m.receive("K\x02Z", kNow, 0), QByteArray());
        QCOMPARE(m.receive("K\x01", kNow, 0).size(), 3012 % 2048);
    }

    void meterRecordsIntoNewSet() {
        sim::SimMeter m;
        m.intervalSec = 2;
        m.rangeCode = 3;
        (void)m.receive(hex("44 090601235958"), kNow, 0);
        m.addSet(sim::makeSet(kStart, 0, true, 1, 10));
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
        QCOMPARE(m.sets()[1].recordCount(), 4);

        const sim::StoredSet& run = m.sets()[1];
        QCOMPARE(sim::setHeader(run).toHex(' '), hex("090601235959 43 0002 000004").toHex(' '));
        for (int k = 1; k <= 4; ++k) {
            const int tenths = sim::levelTenths(m.levelAt(1000 + (k - 1) * 2000));
            QCOMPARE(run.records.mid((k - 1) * 2, 2), sim::levelBytes(tenths, 3, false));
        }
        QCOMPARE(m.receive("Y", kNow, 60000).mid(4, 4), hex("02 000034"));  // 32 + 20 bytes
    }

    // The memory (16 K x size code) or the 255 sets used up: recording stops.
    void recordingStopsWhenMemoryIsFull() {
        sim::SimMeter m;
        m.sizeCode = 1;  // 16384 bytes
        m.intervalSec = 1;
        m.addSet(sim::makeSet(kStart, 0, true, 1, 8000));  // 16012 bytes
        (void)m.receive("S", kNow, 0);
        const QByteArray frame = m.receive(" ", kNow, 3600000);
        QCOMPARE(m.sets()[1].recordCount(), (16384 - 16012 - 12) / 2);
        QVERIFY(!m.recording);
        QCOMPARE(quint8(frame[1]) & 0x18, 0x10);  // full, no longer recording

        sim::SimMeter crowded;
        for (int i = 0; i < sim::SimMeter::kMaxSets; ++i) {
            crowded.addSet(sim::makeSet(kStart, 0, true, 1, 1));
        }
        (void)crowded.receive("S", kNow, 0);
        QVERIFY(!crowded.recording);
        QVERIFY(crowded.memoryFull);
        QCOMPARE(crowded.sets().size(), size_t(sim::SimMeter::kMaxSets));
    }
};

QTEST_GUILESS_MAIN(TestSimDownload)
#include "test_sim_download.moc"
