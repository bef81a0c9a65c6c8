// The pure decoders of the meter memory: status texts, typed settings, the download's
// header, time stamps, level texts and record-grid lines.
#include <QTest>

#include "memory/download_decoder.h"
#include "memory/logger_values.h"
#include "memory/memory_status.h"
#include "memory/record_stamps.h"
#include "memory_rig.h"

using namespace lp;
using test::hex;

class TestMemoryDecode : public QObject {
    Q_OBJECT
private slots:
    void statusTexts_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("texts");      // size | remaining | id | sampling | sets
        for (int code = 1; code <= 8; ++code) {  // used memory 771 counts as none
            const QString k = QString::number(16 * code);
            QTest::addRow("code %d, empty", code)
                << hex("04D2 00") + char(code) + hex("00 000303 0002")
                << k + " K|" + k + ".0 K|1234|2 sec|0";
        }
        QTest::newRow("used 1024")
            << hex("0001 00 08 03 000400 012C") << "128 K|127.5 K|1|300 sec|3";
        QTest::newRow("code 0") << hex("FFFF 00 00 FF 000000 FFFF")
                                << "0 K|0.0 K|65535|65535 sec|255";
        QTest::newRow("code 9 with data")
            << hex("0000 00 09 01 000400 0001") << "0 K|-0.5 K|0|1 sec|1";
        // 771 counts as empty only as a whole; 0x030300 is real use.
        QTest::newRow("used 0x030300")
            << hex("0000 00 08 01 030300 0001") << "128 K|31.6 K|0|1 sec|1";
    }
    void statusTexts() {
        QFETCH(QByteArray, reply);
        const auto s = memory::decodeMemoryStatus(reply);
        QVERIFY(s);
        QTEST(QStringList({s->memorySize, s->remaining, s->idCode, s->sampling, s->noOfSet})
                  .join('|'),
              "texts");
        QVERIFY(!memory::decodeMemoryStatus(reply.chopped(1)));
    }

    // Empty bytes: refused.
    void typedSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("idCode");
        QTest::addColumn<QByteArray>("interval");
        QTest::newRow("65535") << "65535" << hex("FFFF") << hex("FFFF");
        QTest::newRow("65536") << "65536" << QByteArray() << QByteArray();
        QTest::newRow("fraction above the top") << "65535.4" << QByteArray() << QByteArray();
        QTest::newRow("0") << "0" << hex("0000") << QByteArray();
        QTest::newRow("rounds to 0") << "0.5" << hex("0000") << QByteArray();
        QTest::newRow("negative") << "-1" << QByteArray() << QByteArray();
        QTest::newRow("number and text") << "300 x" << hex("012C") << hex("012C");
        QTest::newRow("half to even down") << "12.5" << hex("000C") << hex("000C");
        QTest::newRow("half to even up") << "1.5" << hex("0002") << hex("0002");
    }
    void typedSettings() {
        QFETCH(QString, text);
        QTEST(memory::idCodeBytes(text).value_or(QByteArray()), "idCode");
        QTEST(memory::samplingIntervalBytes(text).value_or(QByteArray()), "interval");
    }

    void headerAndRecords() {
        // Range code 6, A weighting, 15 s; levels: plain, 100.5, battery low, over+under,
        // under, and hexadecimal digits the meter should never send.
        const QByteArray data =
            test::setImage(test::kStart, 0x46, 15, hex("0653 1005 2300 C712 4295 0A5A"));
        const auto set = memory::decodeDownload(data, 3, 6);
        QVERIFY(set.header && set.header->startKnown);
        QCOMPARE(set.header->startText, QStringLiteral("2009/03/15 14:05:09"));
        QStringList levels;
        for (const auto& record : set.records) {
            levels << record.no + ' ' + record.level;
        }
        QCOMPARE(levels, (QStringList{"1 65.3", "2 100.5", "3 30.0", "4 71.2", "5 29.5", "6 0.5"}));
        QCOMPARE(set.records[5].dateTime, QStringLiteral("2009/03/15 14:06:24"));
        QCOMPARE(
            set.gridLines.mid(0, 5),
            (QStringList{"1\t2009/03/15    14:05:09     65.3    A    ---    30-130    -----",
                         "2\t2009/03/15    14:05:24    100.5    A    ---    30-130    -----",
                         "3\t2009/03/15    14:05:39     30.0    A    Low    30-130    -----",
                         "4\t2009/03/15    14:05:54     71.2    A    ---    30-130       Over",
                         "5\t2009/03/15    14:06:09     29.5    A    ---    30-130    Under"}));
    }

    // Stamps carry through the calendar; a start that is no date (an erased memory, a
    // broken header) gives the unknown stamp.
    void stamps_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("year end") << hex("091231235950") << 15 << 2 << "2010/01/01 00:00:05";
        QTest::newRow("leap day") << hex("080228235959") << 1 << 2 << "2008/02/29 00:00:00";
        QTest::newRow("longest interval, far record")
            << hex("991231000000") << 65535 << 65530 << "2236/02/01 04:50:15";
        QTest::newRow("interval 0") << test::kStart << 0 << 500 << "2009/03/15 14:05:09";
        const QString unknown = QStringLiteral("----/--/-- --:--:--");
        QTest::newRow("erased") << hex("FFFFFFFFFFFF") << 1 << 1 << unknown;
        QTest::newRow("month 13") << hex("091301000000") << 1 << 1 << unknown;
        QTest::newRow("30 February") << hex("090230000000") << 1 << 1 << unknown;
        QTest::newRow("hour 24") << hex("090101240000") << 1 << 1 << unknown;
        QTest::newRow("second 60") << hex("090101000060") << 1 << 1 << unknown;
        QTest::newRow("hex digit") << hex("09010A000000") << 1 << 1 << unknown;
    }
    void stamps() {
        QFETCH(QByteArray, start);
        QFETCH(int, interval);
        QFETCH(int, k);
        QFETCH(QString, stamp);
        memory::RecordStamps stamps(start, static_cast<quint16>(interval));
        QCOMPARE(stamps.known(), stamp.at(0) != u'-');
        QCOMPARE(stamps.stamp(k), stamp);
    }

    // An erased memory: the records are listed, without times.
    void erasedStart() {
        const auto set = memory::decodeDownload(
            test::setImage(hex("FFFFFFFFFFFF"), 0xFF, 0xFFFF, hex("0653FFFF")), 1, 2);
        QVERIFY(set.header);
        QVERIFY(!set.header->startKnown);
        QCOMPARE(set.records.size(), 2);
        QCOMPARE(set.records[1].dateTime, QStringLiteral("----/--/-- --:--:--"));
        QCOMPARE(set.records[1].level, QStringLiteral("100.0"));  // FF FF: every flag, no digit
        QVERIFY(set.gridLines[1].startsWith(QStringLiteral("2\t----/--/--    --:--:--    100.0")));
    }

    void partialAndEmptySets_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("complete");
        const QByteArray full = test::setOf(10);
        QTest::newRow("N = 0") << full.left(12) << 0 << 0 << true;
        QTest::newRow("half a record short") << full.left(12 + 7) << 10 << 3 << false;
        QTest::newRow("nothing") << QByteArray() << 10 << 0 << false;
        QTest::newRow("more than asked") << full << 4 << 4 << true;
    }
    void partialAndEmptySets() {
        QFETCH(QByteArray, data);
        QFETCH(int, expected);
        QFETCH(int, listed);
        const auto set = memory::decodeDownload(data, 5, expected);
        QTEST(set.complete, "complete");
        QCOMPARE(set.records.size(), listed);
        QCOMPARE(set.gridLines.size(), listed);
        QCOMPARE(set.title, QStringLiteral("%1  Records In No. 5  Set").arg(listed));
        QCOMPARE(set.header.has_value(), data.size() >= 12);
    }
};

QTEST_GUILESS_MAIN(TestMemoryDecode)
#include "test_memory_decode.moc"
