// The download on a scripted meter and a virtual clock: "K" and the set number, one
// "Z" per block, the progress texts, a meter that falls silent, cancel, and the live
// poll getting the line back afterwards.
#include <QSignalSpy>
#include <QTest>

#include "memory_rig.h"

using namespace lp;
using memory::MemoryCommand;
using test::bytes;
using test::kStart;
using test::Rig;
using test::ScriptedSet;
using test::setOf;

class TestMemoryDownload : public QObject {
    Q_OBJECT
private slots:
    void downloadAsksForEveryBlock_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("blocks");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 0;
        QTest::newRow("1018") << 1018 << 1;
        QTest::newRow("1023") << 1023 << 1;
        QTest::newRow("1024") << 1024 << 1;
        QTest::newRow("2500") << 2500 << 2;
    }
    void downloadAsksForEveryBlock() {
        QFETCH(int, records);
        QFETCH(int, blocks);
        Rig r;
        ScriptedSet meter{setOf(records)};
        r.port.setResponder([&](const QByteArray& w) { return meter.answer(w); });
        r.state.SelectedSet = 3;
        r.state.SetRecordCount = records;
        r.commands.download();
        QCOMPARE(r.port.written, QByteArray("K"));
        r.clock.advance(20);
        QCOMPARE(r.port.written, QByteArray("K\x03"));
        QVERIFY(r.clock.advanceUntil([&] { return !r.ended.isEmpty(); }, 1000));
        QCOMPARE(r.port.written, QByteArray("K\x03") + QByteArray(blocks, 'Z'));
        QCOMPARE(r.state.MemoryData, meter.image);
        const auto set = r.lastSet();
        QVERIFY(set.complete);
        QCOMPARE(set.records.size(), records);
        QCOMPARE(set.title, QStringLiteral("%1  Records In No. 3  Set").arg(records));
        QCOMPARE(r.lastProgress(), QStringLiteral("%1 Records Completed").arg(records));
        QVERIFY(r.failed.isEmpty());
        QVERIFY(r.pollsResume());
    }

    void downloadProgressTexts() {
        Rig r;
        ScriptedSet meter{setOf(2500)};
        r.state.SelectedSet = 3;
        r.state.SetRecordCount = 2500;
        r.commands.download();
        r.clock.advance(40);
        // The first part (916 bytes) comes in pieces, the first shorter than the header.
        r.port.inject(meter.image.left(6));
        r.port.inject(meter.image.mid(6, 910));
        QCOMPARE(r.port.written, QByteArray("K\x03Z"));
        r.port.inject(meter.image.mid(916, 1536));
        r.port.inject(meter.image.mid(916 + 1536, 512));
        r.port.inject(meter.image.mid(2964));
        QCOMPARE(
            r.progressTexts(),
            (QStringList{"-3 Records Completed", "452 Records Completed", "1--1536 Bytes Completed",
                         "1--2048 Bytes Completed", "1476 Records Completed",
                         "0--2048 Bytes Completed", "2500 Records Completed"}));
        QCOMPARE(r.ended.size(), 1);
        QVERIFY(r.lastSet().complete);
    }

    void meterFallsSilentMidDownload() {
        Rig r;
        ScriptedSet meter{setOf(2500)};
        meter.cut = 916 + 2048 + 1536;
        r.port.setResponder([&](const QByteArray& w) { return meter.answer(w); });
        r.state.SelectedSet = 3;
        r.state.SetRecordCount = 2500;
        r.commands.download();
        QVERIFY(r.clock.advanceUntil([&] { return !r.failed.isEmpty(); }, 10000));
        QCOMPARE(r.failed[0][1].toString(),
                 QStringLiteral("The meter stopped answering during the download of set 3: "
                                "4,500 of 5,012 bytes came."));
        // What came stays, and the whole records of it are listed.
        QCOMPARE(r.state.MemoryData, meter.image.left(4500));
        QCOMPARE(r.ended.size(), 1);
        const auto set = r.lastSet();
        QVERIFY(!set.complete);
        QCOMPARE(set.records.size(), 2244);
        QCOMPARE(set.title, QStringLiteral("2244  Records In No. 3  Set"));
        QCOMPARE(r.port.written, QByteArray("K\x03ZZ"));
        QVERIFY(r.pollsResume());
    }

    void cancelMidDownload() {
        Rig r;
        ScriptedSet meter{setOf(2500)};
        r.state.SelectedSet = 2;
        r.state.SetRecordCount = 2500;
        r.commands.download();
        r.clock.advance(40);
        r.port.inject(meter.image.left(916));
        r.port.inject(meter.image.mid(916, 100));
        r.commands.cancel();
        QCOMPARE(r.cancelled.size(), 1);
        QCOMPARE(r.cancelled[0][0].value<MemoryCommand>(), MemoryCommand::Download);
        QCOMPARE(
            r.cancelled[0][1].toString(),
            QStringLiteral("The download of set 2 was cancelled (1,016 of 5,012 bytes came)."));
        QVERIFY(r.failed.isEmpty());
        QCOMPARE(r.lastSet().records.size(), 502);
        // Bytes that still come are not taken, and no further block is asked for.
        r.port.inject(meter.image.mid(1016, 500));
        r.clock.advance(5000);
        QCOMPARE(r.state.MemoryData.size(), 1016);
        QCOMPARE(r.port.written, QByteArray("K\x02Z"));
        QVERIFY(r.pollsResume());
    }

    // A download asked for while a poll runs waits its turn; cancelled before its turn
    // it never touches the line.
    void queuedDownloadWaitsAndCanBeCancelled() {
        Rig r;
        r.state.SelectedSet = 1;
        r.state.SetRecordCount = 0;
        QVERIFY(r.poller.tick());
        r.commands.download();
        QVERIFY(r.commands.busy());
        QCOMPARE(r.port.written, QByteArray(" "));
        r.commands.cancel();
        QCOMPARE(r.cancelled.size(), 1);
        QCOMPARE(r.cancelled[0][1].toString(),
                 QStringLiteral("The download of set 1 was cancelled."));
        QVERIFY(r.ended.isEmpty());
        QVERIFY(!r.commands.busy());
        r.clock.advance(5000);
        QVERIFY(!r.port.written.contains('K'));
        QVERIFY(!r.link.busy());
    }

    void downloadWithoutAChosenSetTouchesNothing() {
        Rig r;
        r.state.SelectedSet = 0;  // the heading row, or no click yet
        r.commands.download();
        QCOMPARE(r.failed.size(), 1);
        QCOMPARE(r.failed[0][0].value<MemoryCommand>(), MemoryCommand::Download);
        QVERIFY(!r.link.busy());
        QVERIFY(r.port.written.isEmpty());
        QVERIFY(r.ended.isEmpty());
    }

    void portFailureEndsRunningAndQueuedCommands() {
        Rig r;
        ScriptedSet meter{setOf(100)};
        r.port.setResponder([&](const QByteArray& w) { return meter.answer(w); });
        r.state.SelectedSet = 1;
        r.state.SetRecordCount = 2000;  // more than the meter holds: it stops after 212 bytes
        r.commands.download();
        r.commands.readStatus();
        r.clock.advance(100);
        r.port.fail(QStringLiteral("COM1 is gone"));
        QCOMPARE(r.failed.size(), 2);
        QCOMPARE(r.failed[0][1].toString(),
                 QStringLiteral(
                     "The download of set 1 stopped: COM1 is gone (212 of 4,012 bytes came)."));
        QCOMPARE(r.failed[1][0].value<MemoryCommand>(), MemoryCommand::Status);
        QCOMPARE(r.failed[1][1].toString(),
                 QStringLiteral("The memory status request could not run: COM1 is gone."));
        QCOMPARE(r.lastSet().records.size(), 100);
        QVERIFY(!r.commands.busy());
        // The link takes nothing more; a command says so instead of waiting for ever.
        r.commands.readMeterClock();
        QCOMPARE(r.failed.size(), 3);
        QVERIFY(!r.commands.busy());
    }
};

QTEST_GUILESS_MAIN(TestMemoryDownload)
#include "test_memory_download.moc"
