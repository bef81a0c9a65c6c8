// The memory commands on a scripted meter: bytes sent, reports, progress texts, the
// silence limit, cancel, a failing port, and the live poll getting the line back.
#include <QTest>
#include <functional>
#include <map>

#include "memory_rig.h"

using namespace lp;
using memory::MemoryCommand;
using test::hex;
using test::Rig;

class TestMemoryCommands : public QObject {
    Q_OBJECT
private slots:
    void statusIsRead() {
        Rig r;
        r.port.inject("stale");
        QSignalSpy read(&r.commands, &memory::MemoryCommands::statusRead);
        // The reply comes split, with two surplus bytes at the end.
        r.port.setResponder(
            [](const QByteArray& w) { return w == "Y" ? test::kStatus.left(4) : QByteArray(); });
        r.commands.readStatus();
        QCOMPARE(r.port.written, QByteArray("Y"));
        QCOMPARE(r.port.bytesAvailable(), 0);  // the stale bytes went first
        r.clock.advance(20);
        QCOMPARE(read.size(), 0);
        r.port.inject(test::kStatus.mid(4) + "xx");
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0][0].value<memory::MemoryStatusInfo>().setCount, 3);
    }

    // A reply that stops: the command ends after the silence limit, counted from the
    // last byte, and says what came.
    void silentRepliesEnd_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("replyBytes");
        QTest::addColumn<int>("quietFromMs");  // the last byte, or the end of the request
        QTest::addColumn<QString>("message");
        const QString stopped = QStringLiteral("The meter stopped answering during the ");
        QTest::newRow("status, short") << int(MemoryCommand::Status) << 4 << 20
                                       << stopped + "memory status request: 4 of 10 bytes came.";
        QTest::newRow("clock") << int(MemoryCommand::MeterClock) << 5 << 20
                               << stopped + "meter clock request: 5 of 6 bytes came.";
        QTest::newRow("set table") << int(MemoryCommand::SetTable) << 13 << 20
                                   << stopped + "set table request: 13 of 25 bytes came.";
        // "K", the set number 20 ms later, then 20 ms before the reply is awaited.
        QTest::newRow("download of a set the meter lacks")
            << int(MemoryCommand::Download) << 0 << 40
            << stopped + "download of set 4: 0 of 32 bytes came.";
    }
    void silentRepliesEnd() {
        QFETCH(int, command);
        QFETCH(int, replyBytes);
        QFETCH(int, quietFromMs);
        Rig r;
        r.port.setResponder([&](const QByteArray&) { return QByteArray(replyBytes, '\x01'); });
        const std::map<MemoryCommand, std::function<void()>> start{
            {MemoryCommand::Status, [&] { r.commands.readStatus(); }},
            {MemoryCommand::MeterClock, [&] { r.commands.readMeterClock(); }},
            {MemoryCommand::SetTable, [&] { r.commands.readSetTable(2); }},
            {MemoryCommand::Download, [&] { r.commands.download(4, 10); }}};
        start.at(MemoryCommand(command))();
        r.clock.advance(quietFromMs + memory::MemoryCommands::kSilenceLimitMs - 1);
        QVERIFY(r.failed.isEmpty());
        QVERIFY(r.link.busy());
        r.clock.advance(1);
        QCOMPARE(r.failed.size(), 1);
        QCOMPARE(r.failure(0).command, MemoryCommand(command));
        QTEST(r.failure(0).message, "message");
        QVERIFY(!r.failure(0).cancelled);
        QVERIFY(r.pollsResume());
    }

    // A setting: the letter, 0.2 s, then the two value bytes.
    void settingsPauseBeforeTheirBytes() {
        Rig r;
        QSignalSpy idSent(&r.commands, &memory::MemoryCommands::idCodeSent);
        QSignalSpy intervalSent(&r.commands, &memory::MemoryCommands::samplingIntervalSent);
        QVERIFY(r.commands.sendIdCode(u"65535"));
        QVERIFY(r.commands.sendSamplingInterval(u"300"));
        QVERIFY(!r.commands.sendSamplingInterval(u"0"));
        r.clock.advance(199);
        QCOMPARE(r.port.written, QByteArray("X"));
        r.clock.advance(1);
        QCOMPARE(r.port.written, hex("58 FFFF 57"));
        r.clock.advance(200);
        QCOMPARE(r.port.written, hex("58 FFFF 57 012C"));
        QCOMPARE(idSent.size() + intervalSent.size(), 2);
    }

    void setTableComesInPieces() {
        Rig r;
        const QByteArray table = hex("03") + test::tableEntry(test::kStart, 120) +
                                 test::tableEntry(test::kStart, 1024) +
                                 test::tableEntry(test::kStart, 0);
        QSignalSpy read(&r.commands, &memory::MemoryCommands::setTableRead);
        r.port.setResponder(
            [&](const QByteArray& w) { return w == "I" ? table.left(13) : QByteArray(); });
        r.commands.readSetTable(3);
        r.clock.advance(20);
        r.port.inject(table.mid(13, 5));
        r.port.inject(table.mid(18));
        QCOMPARE(r.progressTexts(),
                 (QStringList{"1 Sets Completed", "1 Sets Completed", "3 Sets Completed"}));
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0][0].value<QList<memory::SetRow>>().at(1).records, 1024);
    }

    // The set in pieces, whole or stopped by silence or cancel: then the records that came
    // whole go with the failure, and nothing more is taken or asked for.
    void downloadInPieces_data() {
        QTest::addColumn<int>("pieces");  // of 6, 910, 1536, 512, 1536, 512 bytes
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("message");  // none: the set came whole
        QTest::newRow("whole") << 6 << false << QString();
        QTest::newRow("meter falls silent")
            << 5 << false
            << "The meter stopped answering during the download of set 3: 4,500 of 5,012 "
               "bytes came.";
        QTest::newRow("cancel")
            << 3 << true << "The download of set 3 was cancelled (2,452 of 5,012 bytes came).";
    }
    void downloadInPieces() {
        QFETCH(int, pieces);
        QFETCH(bool, cancel);
        QFETCH(QString, message);
        Rig r;
        const QByteArray image = test::setOf(2500);
        r.commands.download(3, 2500);
        r.clock.advance(40);
        const int sizes[] = {6, 910, 1536, 512, 1536, 512};
        const int textsAfter[] = {1, 2, 3, 5, 6, 8};  // progress texts once each piece is in
        int came = 0;
        for (int i = 0; i < pieces; came += sizes[i++]) {
            r.port.inject(image.mid(came, sizes[i]));
        }
        const QStringList texts{"-3 Records Completed",    "452 Records Completed",
                                "1--1536 Bytes Completed", "1--2048 Bytes Completed",
                                "1476 Records Completed",  "0--1536 Bytes Completed",
                                "0--2048 Bytes Completed", "2500 Records Completed"};
        QCOMPARE(r.progressTexts(), texts.mid(0, textsAfter[pieces - 1]));
        cancel ? r.commands.cancel() : r.clock.advance(memory::MemoryCommands::kSilenceLimitMs);
        QCOMPARE(r.ended.size() + r.failed.size(), 1);
        const bool stopped = !r.failed.isEmpty();
        QCOMPARE(stopped ? r.failure(0).message : QString(), message);
        QCOMPARE(stopped && r.failure(0).cancelled, cancel);
        const memory::DownloadedSet set =
            stopped ? r.failure(0).partialSet.value_or(memory::DownloadedSet())
                    : r.ended[0][0].value<memory::DownloadedSet>();
        QCOMPARE(set.records.size(), (came - 12) / 2);  // what came whole: test_memory_decode

        r.port.inject(image.mid(came, 500));
        r.clock.advance(5000);
        QCOMPARE(r.ended.size() + r.failed.size(), 1);
        QCOMPARE(r.port.written,
                 QByteArray("K\x03") + QByteArray(int(came >= 916) + int(came >= 2964), 'Z'));
        QVERIFY(r.pollsResume());
    }

    // The first part, (12 + 2N) mod 2048 bytes, is the header alone, longer, nothing or
    // shorter than the header; then one "Z" per 2048-byte block.
    void downloadAsksForEachBlock_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("blocks");
        for (const auto& [n, blocks] : {std::pair{0, 0}, {1, 0}, {1018, 1}, {1023, 1}, {1024, 1}}) {
            QTest::addRow("N = %d", n) << n << blocks;
        }
    }
    void downloadAsksForEachBlock() {
        QFETCH(int, records);
        QFETCH(int, blocks);
        Rig r;
        const QByteArray image = test::setOf(records);
        qsizetype sent = 0;
        r.port.setResponder([&](const QByteArray& w) {
            const qsizetype size = w == "Z" ? 2048 : w == "K" ? 0 : image.size() % 2048;
            sent += size;
            return image.mid(sent - size, size);
        });
        r.commands.download(2, records);
        QVERIFY(r.clock.advanceUntil([&] { return !r.commands.busy(); }, 10000));
        QCOMPARE(r.port.written, QByteArray("K\x02") + QByteArray(blocks, 'Z'));
        QCOMPARE(r.ended.size(), 1);
        QCOMPARE(r.ended[0][0].value<memory::DownloadedSet>().records.size(), records);
    }

    // A download without a chosen set fails at once; one asked for while a poll runs
    // waits its turn, and cancelled before its turn it ends. Neither touches the line
    // nor lists anything.
    void downloadThatNeverStarts_data() {
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("message");
        QTest::newRow("no set chosen")
            << 0 << "No set is chosen: click a set in the set list first.";
        QTest::newRow("cancelled while queued") << 1 << "The download of set 1 was cancelled.";
    }
    void downloadThatNeverStarts() {
        QFETCH(int, set);
        Rig r;
        QVERIFY(r.poller.tick());
        r.commands.download(set, 10);
        QCOMPARE(r.commands.busy(), set != 0);
        r.commands.cancel();
        QCOMPARE(r.failed.size(), 1);
        QCOMPARE(r.failure(0).command, MemoryCommand::Download);
        QCOMPARE(r.failure(0).cancelled, set != 0);
        QTEST(r.failure(0).message, "message");
        QVERIFY(!r.failure(0).partialSet);
        r.clock.advance(5000);
        QVERIFY(!r.port.written.contains('K'));
        QVERIFY(r.pollsResume());
    }

    void portFailureEndsRunningAndQueuedCommands() {
        Rig r;
        r.commands.download(1, 2000);
        r.commands.readStatus();
        r.clock.advance(40);
        r.port.inject(test::setOf(100));  // 212 of the 4,012 bytes
        r.port.fail(QStringLiteral("COM1 is gone"));
        QCOMPARE(r.failed.size(), 2);
        QCOMPARE(r.failure(0).message,
                 QStringLiteral(
                     "The download of set 1 stopped: COM1 is gone (212 of 4,012 bytes came)."));
        QCOMPARE(r.failure(0).partialSet->records.size(), 100);
        QCOMPARE(r.failure(1).command, MemoryCommand::Status);
        QVERIFY(!r.failure(1).partialSet);
        QVERIFY(!r.commands.busy());
    }
};

QTEST_GUILESS_MAIN(TestMemoryCommands)
#include "test_memory_commands.moc"
