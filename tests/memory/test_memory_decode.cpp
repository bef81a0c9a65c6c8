// The pure decoders of the meter memory: status texts, typed settings, meter clock,
// set table, the download's header, time stamps, level texts and record-grid lines.
#include <QElapsedTimer>
#include <QTest>

#include "memory/download_decoder.h"
#include "memory/logger_values.h"
#include "memory/memory_status.h"
#include "memory/record_stamps.h"
#include "memory/set_table.h"
#include "memory_test_bytes.h"

using namespace lp;
using test::bytes;

namespace {
const QByteArray kStart = bytes({0x09, 0x03, 0x15, 0x14, 0x05, 0x09});
}

class TestMemoryDecode : public QObject {
    Q_OBJECT
private slots:
    void statusTexts_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("sampling");
        QTest::addColumn<int>("sets");
        for (int code = 1; code <= 8; ++code) {
            const QString k = QString::number(16 * code);
            QTest::addRow("code %d, empty", code)
                << bytes({0x04, 0xD2, 0, code, 0, 0x00, 0x03, 0x03, 0, 2}) << k + " K" << k + ".0 K"
                << "1234"
                << "2 sec" << 0;
        }
        QTest::newRow("used 1024") << bytes({0, 1, 0, 8, 3, 0, 0x04, 0x00, 0x01, 0x2C}) << "128 K"
                                   << "127.5 K"
                                   << "1"
                                   << "300 sec" << 3;
        QTest::newRow("code 0") << bytes({0xFF, 0xFF, 0, 0, 255, 0, 0, 0, 0xFF, 0xFF}) << "0 K"
                                << "0.0 K"
                                << "65535"
                                << "65535 sec" << 255;
        QTest::newRow("code 9 with data") << bytes({0, 0, 0, 9, 1, 0, 0x04, 0x00, 0, 1}) << "0 K"
                                          << "-0.5 K"
                                          << "0"
                                          << "1 sec" << 1;
        // 771 counts as empty only as a whole; 0x030300 is real use.
        QTest::newRow("used 0x030300") << bytes({0, 0, 0, 8, 1, 0x03, 0x03, 0x00, 0, 1}) << "128 K"
                                       << "31.6 K"
                                       << "0"
                                       << "1 sec" << 1;
    }
    void statusTexts() {
        QFETCH(QByteArray, reply);
        const auto status = memory::decodeMemoryStatus(reply);
        QVERIFY(status);
        QTEST(status->memorySize, "size");
        QTEST(status->remaining, "remaining");
        QTEST(status->idCode, "id");
        QTEST(status->sampling, "sampling");
        QTEST(status->setCount, "sets");
        QCOMPARE(status->noOfSet, QString::number(status->setCount));
    }

    void shortStatusIsNoStatus() { QVERIFY(!memory::decodeMemoryStatus(QByteArray(9, '\0'))); }

    void idCodeValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("65535") << "65535" << true << bytes({0xFF, 0xFF});
        QTest::newRow("65536") << "65536" << false << QByteArray();
        QTest::newRow("empty") << "" << true << bytes({0, 0});
        QTest::newRow("no number") << "abc" << true << bytes({0, 0});
        QTest::newRow("negative") << "-1" << false << QByteArray();
        QTest::newRow("300 and text") << "300 x" << true << bytes({0x01, 0x2C});
        QTest::newRow("half to even down") << "12.5" << true << bytes({0, 12});
        QTest::newRow("half to even up") << "13.5" << true << bytes({0, 14});
        QTest::newRow("fraction above the top") << "65535.4" << false << QByteArray();
        QTest::newRow("fraction below the top") << "65534.6" << true << bytes({0xFF, 0xFF});
    }
    void idCodeValues() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const auto sent = memory::idCodeBytes(text);
        QCOMPARE(sent.has_value(), accepted);
        if (accepted) {
            QTEST(*sent, "sent");
        }
    }

    void samplingValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("1") << "1" << true << bytes({0, 1});
        QTest::newRow("0") << "0" << false << QByteArray();
        QTest::newRow("as shown") << "2 sec" << true << bytes({0, 2});
        QTest::newRow("65535") << "65535" << true << bytes({0xFF, 0xFF});
        QTest::newRow("65536") << "65536" << false << QByteArray();
        QTest::newRow("empty") << "" << false << QByteArray();
        QTest::newRow("rounds to 0") << "0.5" << false << QByteArray();
        QTest::newRow("rounds to 2") << "1.5" << true << bytes({0, 2});
    }
    void samplingValues() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const auto sent = memory::samplingIntervalBytes(text);
        QCOMPARE(sent.has_value(), accepted);
        if (accepted) {
            QTEST(*sent, "sent");
        }
    }

    void meterClock() {
        QCOMPARE(memory::meterClockText(kStart), QStringLiteral("03/15/09-----14:05:09"));
        QCOMPARE(memory::meterClockText(kStart.left(5)), QString());
    }

    void setTableRowsAndChoice() {
        app::ProgramState state;
        state.SetCount = 2;
        state.SetTable = bytes({2}) + test::tableEntry(kStart, 120) +
                         test::tableEntry(bytes({0x10, 0x12, 0x31, 0x23, 0x59, 0x00}), 70000);
        const auto rows = memory::setTableRows(state.SetTable, state.SetCount);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].number, 1);
        QCOMPARE(rows[0].start, QStringLiteral("03/15/09----14:05:09"));
        QCOMPARE(rows[1].start, QStringLiteral("12/31/10----23:59:00"));
        QCOMPARE(memory::setRecordCount(state.SetTable, 2), 70000);

        QVERIFY(!memory::selectSet(state, 0));  // the heading row
        QCOMPARE(state.SelectedSet, 0);
        QVERIFY(memory::selectSet(state, 2));
        QCOMPARE(state.SelectedSet, 2);
        QCOMPARE(state.SetRecordCount, 70000);
        QVERIFY(memory::selectSet(state, 1));
        QCOMPARE(state.SetRecordCount, 120);
        QVERIFY(!memory::selectSet(state, 3));
        QCOMPARE(state.SelectedSet, 1);

        // A table cut short lists only its whole entries.
        state.SetTable.chop(1);
        QCOMPARE(memory::setTableRows(state.SetTable, 2).size(), 1);
        QVERIFY(!memory::selectSet(state, 2));
        QVERIFY(memory::setTableRows(bytes({0}), 0).isEmpty());
    }

    void downloadLayout_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("firstPart");
        QTest::addColumn<int>("blocks");
        QTest::newRow("0") << 0 << 12 << 0;
        QTest::newRow("1") << 1 << 14 << 0;
        QTest::newRow("1017") << 1017 << 2046 << 0;
        QTest::newRow("1018") << 1018 << 0 << 1;
        QTest::newRow("1023") << 1023 << 10 << 1;
        QTest::newRow("1024") << 1024 << 12 << 1;
        QTest::newRow("2500") << 2500 << 916 << 2;
        QTest::newRow("full 128 K") << 65530 << 0 << 64;
    }
    void downloadLayout() {
        QFETCH(int, records);
        QTEST(int(memory::firstPartSize(records)), "firstPart");
        QTEST(int(memory::blockCount(records)), "blocks");
        QCOMPARE(memory::firstPartSize(records) + 2048 * memory::blockCount(records),
                 memory::setByteSize(records));
    }

    void headerAndRecords() {
        // Range code 6, A weighting, 15 s; levels: plain, 100.5, battery low, over+under,
        // under, and hexadecimal digits the meter should never send.
        const QByteArray data = test::setImage(
            kStart, 0x46, 15,
            bytes({0x06, 0x53, 0x10, 0x05, 0x23, 0x00, 0xC7, 0x12, 0x42, 0x95, 0x0A, 0x5A}));
        link::Reading reading;
        const auto set = memory::decodeDownload(data, 3, 6, reading);
        QVERIFY(set.complete);
        QVERIFY(set.header);
        QCOMPARE(set.header->startText, QStringLiteral("2009/03/15 14:05:09"));
        QCOMPARE(set.header->intervalSec, 15);
        QCOMPARE(set.header->rangeText, QStringLiteral("30-130"));
        QCOMPARE(set.header->weighting, QChar(u'A'));
        QCOMPARE(set.title, QStringLiteral("6  Records In No. 3  Set"));
        QCOMPARE(set.records.size(), 6);
        QCOMPARE(set.gridLines.size(), 6);

        const QStringList levels{"65.3", "100.5", "30.0", "71.2", "29.5", "0.5"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(set.records[i].no, QString::number(i + 1));
            QCOMPARE(set.records[i].level, levels[i]);
        }
        QCOMPARE(set.records[0].dateTime, QStringLiteral("2009/03/15 14:05:09"));
        QCOMPARE(set.records[5].dateTime, QStringLiteral("2009/03/15 14:06:24"));

        QCOMPARE(
            set.gridLines[0],
            QStringLiteral("1\t2009/03/15    14:05:09     65.3    A    ---    30-130    -----"));
        QCOMPARE(
            set.gridLines[1],
            QStringLiteral("2\t2009/03/15    14:05:24    100.5    A    ---    30-130    -----"));
        QCOMPARE(
            set.gridLines[2],
            QStringLiteral("3\t2009/03/15    14:05:39     30.0    A    Low    30-130    -----"));
        QCOMPARE(
            set.gridLines[3],
            QStringLiteral("4\t2009/03/15    14:05:54     71.2    A    ---    30-130       Over"));
        QCOMPARE(
            set.gridLines[4],
            QStringLiteral("5\t2009/03/15    14:06:09     29.5    A    ---    30-130    Under"));
        // The Reading ends with the last record, on the set's range.
        QCOMPARE(reading.Level, 0.5f);
        QCOMPARE(reading.RangeHigh, qint16(130));
        QCOMPARE(reading.WeightingA, qint16(1));
    }

    void stampsCarryThroughTheCalendar_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("midnight") << bytes({0x09, 0x03, 0x15, 0x23, 0x59, 0x50}) << 15 << 2
                                  << "2009/03/16 00:00:05";
        QTest::newRow("month end")
            << bytes({0x09, 0x04, 0x30, 0x23, 0x59, 0x50}) << 15 << 2 << "2009/05/01 00:00:05";
        QTest::newRow("year end") << bytes({0x09, 0x12, 0x31, 0x23, 0x59, 0x50}) << 15 << 2
                                  << "2010/01/01 00:00:05";
        QTest::newRow("leap day") << bytes({0x08, 0x02, 0x28, 0x23, 0x59, 0x59}) << 1 << 2
                                  << "2008/02/29 00:00:00";
        QTest::newRow("no leap day")
            << bytes({0x09, 0x02, 0x28, 0x23, 0x59, 0x59}) << 1 << 2 << "2009/03/01 00:00:00";
        QTest::newRow("longest interval, far record") << bytes({0x99, 0x12, 0x31, 0x00, 0x00, 0x00})
                                                      << 65535 << 65530 << "2236/02/01 04:50:15";
        QTest::newRow("interval 0") << kStart << 0 << 500 << "2009/03/15 14:05:09";
    }
    void stampsCarryThroughTheCalendar() {
        QFETCH(QByteArray, start);
        QFETCH(int, interval);
        QFETCH(int, k);
        memory::RecordStamps stamps(start, static_cast<quint16>(interval));
        QVERIFY(stamps.known());
        QTEST(stamps.stamp(k), "stamp");
        // The same stamp, stepped record by record from the start (the rule's own way).
        if (k <= 1000) {
            QDateTime t = QDateTime::fromString(stamps.stamp(1), "yyyy/MM/dd HH:mm:ss");
            t.setTimeSpec(Qt::UTC);
            for (int i = 2; i <= k; ++i) {
                t = t.addSecs(interval);
            }
            QCOMPARE(stamps.stamp(k), t.toString("yyyy/MM/dd HH:mm:ss"));
        }
    }

    void startThatIsNoDate_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("erased") << QByteArray(6, '\xFF');
        QTest::newRow("month 13") << bytes({0x09, 0x13, 0x01, 0x00, 0x00, 0x00});
        QTest::newRow("month 0") << bytes({0x09, 0x00, 0x01, 0x00, 0x00, 0x00});
        QTest::newRow("30 February") << bytes({0x09, 0x02, 0x30, 0x00, 0x00, 0x00});
        QTest::newRow("hour 24") << bytes({0x09, 0x01, 0x01, 0x24, 0x00, 0x00});
        QTest::newRow("second 60") << bytes({0x09, 0x01, 0x01, 0x00, 0x00, 0x60});
        QTest::newRow("hex digit") << bytes({0x09, 0x01, 0x0A, 0x00, 0x00, 0x00});
    }
    void startThatIsNoDate() {
        QFETCH(QByteArray, start);
        const QByteArray data =
            test::setImage(start, 0xFF, 0xFFFF, bytes({0x06, 0x53, 0xFF, 0xFF}));
        link::Reading reading;
        const auto set = memory::decodeDownload(data, 1, 2, reading);
        QVERIFY(set.header);
        QVERIFY(!set.header->startKnown);
        QCOMPARE(set.records.size(), 2);
        for (const auto& r : set.records) {
            QCOMPARE(r.dateTime, QStringLiteral("----/--/-- --:--:--"));
        }
        QCOMPARE(set.records[0].level, QStringLiteral("65.3"));
        QCOMPARE(set.records[1].level, QStringLiteral("100.0"));  // FF FF: every flag, no digit
        QVERIFY(set.gridLines[1].startsWith(QStringLiteral("2\t----/--/--    --:--:--    100.0")));
    }

    void partialAndEmptySets_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("complete");
        const QByteArray full = test::setImage(kStart, 0x06, 1, test::plainRecords(10));
        QTest::newRow("N = 0") << full.left(12) << 0 << 0 << true;
        QTest::newRow("whole") << full << 10 << 10 << true;
        QTest::newRow("half a record short") << full.left(12 + 7) << 10 << 3 << false;
        QTest::newRow("header short") << full.left(6) << 10 << 0 << false;
        QTest::newRow("nothing") << QByteArray() << 10 << 0 << false;
        QTest::newRow("more than asked") << full << 4 << 4 << true;
    }
    void partialAndEmptySets() {
        QFETCH(QByteArray, data);
        QFETCH(int, expected);
        QFETCH(int, listed);
        link::Reading reading;
        const auto set = memory::decodeDownload(data, 5, expected, reading);
        QTEST(set.complete, "complete");
        QCOMPARE(set.records.size(), listed);
        QCOMPARE(set.gridLines.size(), listed);
        QCOMPARE(set.title, QStringLiteral("%1  Records In No. 5  Set").arg(listed));
        QCOMPARE(set.header.has_value(), data.size() >= 12);
    }
};

QTEST_GUILESS_MAIN(TestMemoryDecode)
#include "test_memory_decode.moc"
