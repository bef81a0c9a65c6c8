// The logger commands on a scripted meter and a virtual clock: the bytes each sends,
// what it stores, its progress texts, the silence limit, a failing port, and the live
// poll getting the line back afterwards.
#include <QSignalSpy>
#include <QTest>

#include "memory_rig.h"

using namespace lp;
using memory::MemoryCommand;
using test::bytes;
using test::kStart;
using test::kStatus;
using test::Rig;

class TestMemoryCommands : public QObject {
    Q_OBJECT
private slots:
    void statusIsReadAndStored() {
        Rig r;
        r.port.inject("stale");
        QSignalSpy read(&r.commands, &memory::MemoryCommands::statusRead);
        // The reply comes split, with two surplus bytes at the end.
        r.port.setResponder(
            [&](const QByteArray& w) { return w == "Y" ? kStatus.left(4) : QByteArray(); });
        r.commands.readStatus();
        QCOMPARE(r.port.written, QByteArray("Y"));
        QCOMPARE(r.port.bytesAvailable(), 0);  // the stale bytes went first
        r.clock.advance(20);
        QCOMPARE(read.size(), 0);
        r.port.inject(kStatus.mid(4) + "xx");
        QCOMPARE(read.size(), 1);
        QCOMPARE(r.state.MemoryStatus, kStatus);
        QCOMPARE(r.state.SetCount, 3);
        const auto status = read[0][0].value<memory::MemoryStatusInfo>();
        QCOMPARE(status.remaining, QStringLiteral("127.5 K"));
        QCOMPARE(status.idCode, QStringLiteral("1234"));
        QVERIFY(r.failed.isEmpty());
        QVERIFY(r.pollsResume());
    }

    // A reply that stops: the command ends after the silence limit, counted from the
    // last byte, and says what came.
    void silentRepliesEnd_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("replyBytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("status, nothing")
            << int(MemoryCommand::Status) << 0
            << "The meter stopped answering during the memory status request: 0 of 10 bytes came.";
        QTest::newRow("status, short")
            << int(MemoryCommand::Status) << 4
            << "The meter stopped answering during the memory status request: 4 of 10 bytes came.";
        QTest::newRow("clock")
            << int(MemoryCommand::MeterClock) << 5
            << "The meter stopped answering during the meter clock request: 5 of 6 bytes came.";
        QTest::newRow("set table")
            << int(MemoryCommand::SetTable) << 13
            << "The meter stopped answering during the set table request: 13 of 25 bytes came.";
    }
    void silentRepliesEnd() {
        QFETCH(int, command);
        QFETCH(int, replyBytes);
        Rig r;
        r.state.SetCount = 2;
        r.port.setResponder([&](const QByteArray&) { return QByteArray(replyBytes, '\x01'); });
        switch (MemoryCommand(command)) {
            case MemoryCommand::Status:
                r.commands.readStatus();
                break;
            case MemoryCommand::MeterClock:
                r.commands.readMeterClock();
                break;
            default:
                r.commands.readSetTable();
                break;
        }
        const int lastByteMs = replyBytes == 0 ? 0 : 20;  // the fake meter's latency
        r.clock.advance(lastByteMs + memory::MemoryCommands::kSilenceLimitMs - 1);
        QVERIFY(r.failed.isEmpty());
        QVERIFY(r.link.busy());
        r.clock.advance(1);
        QCOMPARE(r.failed.size(), 1);
        QCOMPARE(r.failed[0][0].value<MemoryCommand>(), MemoryCommand(command));
        QTEST(r.failed[0][1].toString(), "message");
        QCOMPARE(r.state.SetCount, 2);  // a failed status changes nothing
        QVERIFY(r.pollsResume());
    }

    void settingsSendTheirBytes_data() {
        QTest::addColumn<bool>("interval");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("id 65535") << false << "65535" << QByteArray("X\xFF\xFF", 3);
        QTest::newRow("id empty") << false << "" << QByteArray("X\x00\x00", 3);
        QTest::newRow("id 65536") << false << "65536" << QByteArray();
        QTest::newRow("interval 1") << true << "1" << QByteArray("W\x00\x01", 3);
        QTest::newRow("interval 2 sec") << true << "2 sec" << QByteArray("W\x00\x02", 3);
        QTest::newRow("interval 0") << true << "0" << QByteArray();
    }
    void settingsSendTheirBytes() {
        QFETCH(bool, interval);
        QFETCH(QString, text);
        QFETCH(QByteArray, sent);
        Rig r;
        QSignalSpy idSent(&r.commands, &memory::MemoryCommands::idCodeSent);
        QSignalSpy intervalSent(&r.commands, &memory::MemoryCommands::samplingIntervalSent);
        const bool accepted =
            interval ? r.commands.sendSamplingInterval(text) : r.commands.sendIdCode(text);
        QCOMPARE(accepted, !sent.isEmpty());
        if (!accepted) {
            QVERIFY(!r.link.busy());
            QVERIFY(r.port.written.isEmpty());
            return;
        }
        QCOMPARE(r.port.written, sent.left(1));
        r.clock.advance(199);
        QCOMPARE(r.port.written, sent.left(1));
        r.clock.advance(1);
        QCOMPARE(r.port.written, sent);
        QCOMPARE(idSent.size(), interval ? 0 : 1);
        QCOMPARE(intervalSent.size(), interval ? 1 : 0);
        QVERIFY(r.pollsResume());
    }

    void meterClockIsRead() {
        Rig r;
        QSignalSpy read(&r.commands, &memory::MemoryCommands::meterClockRead);
        r.port.setResponder([](const QByteArray& w) { return w == "C" ? kStart : QByteArray(); });
        r.commands.readMeterClock();
        r.clock.advance(20);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0][0].toString(), QStringLiteral("03/15/09-----14:05:09"));
        QCOMPARE(r.port.written, QByteArray("C"));
    }

    void setTableWithoutSets() {
        Rig r;
        QSignalSpy read(&r.commands, &memory::MemoryCommands::setTableRead);
        r.port.setResponder(
            [](const QByteArray& w) { return w == "I" ? bytes({0}) : QByteArray(); });
        r.commands.readSetTable();
        r.clock.advance(20);
        QCOMPARE(read.size(), 1);
        QVERIFY(read[0][0].value<QList<memory::SetRow>>().isEmpty());
        QCOMPARE(r.progressTexts(), QStringList{"0 Sets Completed"});
        QCOMPARE(r.state.SetTable, bytes({0}));
    }

    void setTableWithSeveralSets() {
        Rig r;
        r.state.SetCount = 3;
        const QByteArray table = bytes({3}) + test::tableEntry(kStart, 120) +
                                 test::tableEntry(kStart, 1024) + test::tableEntry(kStart, 0);
        QSignalSpy read(&r.commands, &memory::MemoryCommands::setTableRead);
        r.port.setResponder(
            [&](const QByteArray& w) { return w == "I" ? table.left(13) : QByteArray(); });
        r.commands.readSetTable();
        r.clock.advance(20);
        r.port.inject(table.mid(13, 5));
        r.port.inject(table.mid(18));
        QCOMPARE(r.progressTexts(),
                 (QStringList{"1 Sets Completed", "1 Sets Completed", "3 Sets Completed"}));
        QCOMPARE(read.size(), 1);
        const auto rows = read[0][0].value<QList<memory::SetRow>>();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2].start, QStringLiteral("03/15/09----14:05:09"));
        QCOMPARE(r.state.SetTable, table);
        QVERIFY(memory::selectSet(r.state, 2));
        QCOMPARE(r.state.SetRecordCount, 1024);
    }
};

QTEST_GUILESS_MAIN(TestMemoryCommands)
#include "test_memory_commands.moc"
