// The memory commands on a scripted meter and a virtual clock: the bytes each sends,
// what it stores, its progress texts, the bounded waits, cancel, and the live poll
// getting the line back afterwards.
#include <QSignalSpy>
#include <QTest>

#include "fake_transport.h"
#include "link/live_poller.h"
#include "memory/memory_commands.h"
#include "memory_test_bytes.h"
#include "platform/virtual_clock.h"

using namespace lp;
using memory::MemoryCommand;
using test::bytes;

Q_DECLARE_METATYPE(lp::memory::MemoryCommand)

namespace {

const QByteArray kStart = bytes({0x09, 0x03, 0x15, 0x14, 0x05, 0x09});
const QByteArray kStatus = bytes({0x04, 0xD2, 0, 8, 3, 0, 0x04, 0x00, 0, 2});
const QByteArray kFrame("\x00\x42\x06\x53\x00", 5);

struct Rig {
    platform::VirtualClock clock;
    test::FakeTransport port{clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    app::ProgramState state;
    memory::MemoryCommands commands{link, state};
    QSignalSpy progress{&commands, &memory::MemoryCommands::progress};
    QSignalSpy failed{&commands, &memory::MemoryCommands::failed};
    QSignalSpy cancelled{&commands, &memory::MemoryCommands::cancelled};
    QSignalSpy ended{&commands, &memory::MemoryCommands::downloadEnded};

    QString lastProgress() const {
        return progress.isEmpty() ? QString() : progress.last()[0].toString();
    }
    QStringList progressTexts() const {
        QStringList out;
        for (const auto& p : progress) {
            out << p[0].toString();
        }
        return out;
    }
    memory::DownloadedSet lastSet() const { return ended.last()[0].value<memory::DownloadedSet>(); }
    // The line is free again and the live poll gets a frame.
    bool pollsResume() {
        if (link.busy() || commands.busy()) {
            return false;
        }
        port.setResponder([](const QByteArray& w) { return w == " " ? kFrame : QByteArray(); });
        QSignalSpy frames(&poller, &link::LivePoller::frameReceived);
        if (!poller.tick()) {
            return false;
        }
        clock.advance(200);
        return frames.size() == 1;
    }
};

// A meter that answers a download the way the real one does: after "K" and the set
// number the first part, after each "Z" the next 2048 bytes. `cut` stops it after that
// many bytes in all.
struct ScriptedSet {
    QByteArray image;
    qsizetype sent = 0;
    qsizetype cut = -1;
    bool gotK = false;

    QByteArray answer(const QByteArray& written) {
        if (written == "K") {
            gotK = true;
            return {};
        }
        if (gotK && written.size() == 1 && written != "Z") {
            gotK = false;
            return give(image.size() % 2048);
        }
        if (written == "Z") {
            return give(2048);
        }
        return {};
    }
    QByteArray give(qsizetype n) {
        qsizetype end = std::min(image.size(), sent + n);
        if (cut >= 0) {
            end = std::min(end, cut);
        }
        const QByteArray out = image.mid(sent, end - sent);
        sent += n;
        return out;
    }
};

QByteArray setOf(int records) {
    return test::setImage(kStart, 0x46, 2, test::plainRecords(records));
}

}  // namespace

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

QTEST_GUILESS_MAIN(TestMemoryCommands)
#include "test_memory_commands.moc"
